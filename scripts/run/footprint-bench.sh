#!/bin/sh
# What each binary weighs, and what Quavix costs a host before anyone plays
# it, beside Debian's VST 2.4 effects in the same run: memory per instance
# (100 instances beyond the first, editors closed) and a cold scan (a new
# process: load, open, read the names, close, unload). Peers that are not
# installed are left out; the run fails only when Quavix cannot be measured.
set -u
dist=${QUAVIX_LINUX_DIST:-dist/linux-x86_64}
footprint=build/linux/quavix-footprint
limit=1500000
echo "== binary sizes (each at most $limit bytes)"
status=0
for binary in "$dist/quavix.so" "$dist/quavix.clap" "$dist/quavix.lv2/quavix_ui.so" "$dist/quavix.lv2/quavix_dsp.so" \
    dist/win32/QUAVIX.dll dist/win32/Quavix.clap dist/win64/QUAVIX.dll dist/win64/Quavix.clap; do
    if [ ! -f "$binary" ]; then
        printf '  %-40s not built\n' "$binary"
        continue
    fi
    bytes=$(stat -c %s "$binary")
    verdict=within
    [ "$bytes" -le $limit ] || { verdict=PAST; status=1; }
    printf '  %-40s %9d bytes  %s the limit\n' "$binary" "$bytes" "$verdict"
done

echo "== Quavix beside Debian's VST 2.4 effects: binary, memory per instance, cold scan"
set -- "$dist/quavix.so"
for peer in /usr/lib/vst/3BandEQ-vst.so /usr/lib/vst/ZamEQ2-vst.so /usr/lib/vst/ZynAlienWah.so \
    /usr/lib/vst/ZynDynamicFilter.so /usr/lib/vst/lsp-plugins/para-equalizer-x16-stereo.so; do
    if [ -f "$peer" ]; then
        set -- "$@" "$peer"
    else
        echo "  skipped: $peer is not installed"
    fi
done
"$footprint" "$@" || status=1
exit $status
