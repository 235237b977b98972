#!/bin/sh
# Quavix beside the effects of Debian's VST 2.4 packages that come closest to
# a wah, one per package, each set as near as its parameters allow to what
# Quavix is as it starts: a resonant low-pass at 2300 Hz with a peak of about
# 12 dB. The Linux host tool runs them all in one process, interleaved, and
# prints one line per plug-in with its ratio to Quavix.
#
# A peer that is not installed, or that fails on its own, is skipped with a
# message: the run fails only when Quavix itself does.
set -u
dist=${QUAVIX_LINUX_DIST:-dist/linux-x86_64}
host=$dist/quavix-host
quavix=$dist/quavix.so
if [ ! -x "$host" ] || [ ! -f "$quavix" ]; then
    echo "run-peer-bench: no $host or $quavix; build them first (make linux)" >&2
    exit 1
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT

echo "== Quavix beside Debian's VST 2.4 effects nearest a wah (settings as INDEX=VALUE, normalized)"
printf '  %-16s %s\n' "quavix" "$quavix: as it starts, 2300 Hz, peak Med (about +12 dB), gain -6 dB"

# Each peer alone first: one that cannot load, refuses the job or crashes
# must not take the joint run down with it.
set --
while IFS='|' read -r package file settings what; do
    [ -n "$package" ] || continue
    printf '  %-16s %s\n' "$package" "$(basename "$file")@$settings: $what"
    if [ ! -f "$file" ]; then
        echo "                   skipped: $file is not installed"
        continue
    fi
    if ! "$host" --bench "$file@$settings" --rounds 1 >"$log" 2>&1; then
        reason=$(grep 'quavix-host:' "$log" | tail -n 1 | sed 's/; it is the benchmark.*//')
        echo "                   skipped: it fails on its own: $reason"
        continue
    fi
    set -- "$@" "$file@$settings"
done <<'PEERS'
lsp-plugins-vst|/usr/lib/vst/lsp-plugins/para-equalizer-x16-stereo.so|13=0.55,18=0.69869,20=0.07|Parametric Equalizer x16 Stereo, band 0 a resonant low-pass (RLC, bilinear) at 2300 Hz, Q 7 (a 12 dB peak), the other bands off
dpf-plugins-vst|/usr/lib/vst/3BandEQ-vst.so|2=0,5=0.068421|3 Band EQ, the band above 2300 Hz at -24 dB: the package has no resonant filter
zam-plugins|/usr/lib/vst/ZamEQ2-vst.so|3=0.885714,4=0.152542,5=0.16309,8=0.457143,9=0.16309|ZamEQ2 (mono: two instances), a 12 dB peak one octave wide at 2300 Hz over a -18 dB high shelf at 2300 Hz
zynaddsubfx-vst|/usr/lib/vst/ZynDynamicFilter.so|4=0,5=0|ZynDynamicFilter, its built-in wah filter held still (LFO depth 0, amplitude sensing 0); its frequency is no VST parameter
PEERS

echo
"$host" --bench "$quavix" "$@"
status=$?
[ $status = 0 ] && exit 0
if ! "$host" --bench "$quavix" --rounds 1 >"$log" 2>&1; then
    cat "$log" >&2
    echo "run-peer-bench: Quavix itself failed (exit $status)" >&2
    exit 1
fi
# Quavix is sound, so a peer failed in company: measure each beside Quavix alone.
echo "run-peer-bench: a peer failed in the joint run; each peer beside Quavix on its own:"
for peer in "$@"; do
    if "$host" --bench "$quavix" "$peer" >"$log" 2>&1; then
        grep -E '^ +2  ' "$log"
    else
        echo "  skipped: ${peer%@*} failed beside Quavix: $(grep 'quavix-host:' "$log" | tail -n 1)"
    fi
done
exit 0
