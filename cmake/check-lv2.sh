#!/bin/sh
# What an LV2 host needs of the bundle quavix.lv2: Turtle files that Debian's
# lv2_validate accepts against the LV2 schemas in /usr/lib/lv2 without an
# error or a warning, and an x86_64 shared object, never unloaded, whose
# only dynamic symbol of its own is lv2_descriptor and which needs nothing
# beyond the C library: no X11, no cairo (the bundle has no panel).
#
#   check-lv2.sh BUNDLE_DIR
set -eu
export LC_ALL=C
bundle=$1
so=$bundle/quavix_dsp.so
status=0
for file in "$bundle/manifest.ttl" "$bundle/quavix.ttl" "$so"; do
    if [ ! -f "$file" ]; then
        echo "check-lv2: $file does not exist" >&2
        exit 1
    fi
done
# lv2_validate names Debian's own files it skips on stderr; only our
# findings count.
report=$(lv2_validate "$bundle/manifest.ttl" "$bundle/quavix.ttl" 2>&1) || status=1
findings=$(printf '%s\n' "$report" | grep -v '^Skipping file /usr/lib/lv2/' || true)
if ! printf '%s\n' "$findings" | grep -q '^Found 0 errors' || printf '%s\n' "$findings" | grep -qi 'warn'; then
    status=1
fi
echo "check-lv2: lv2_validate: $(printf '%s\n' "$findings" | tr '\n' ' ')"
header=$(readelf -h "$so")
printf '%s\n' "$header" | grep -q 'Type: *DYN' || { echo "check-lv2: $so is not a shared object"; status=1; }
printf '%s\n' "$header" | grep -q 'Machine: *Advanced Micro Devices X86-64' || { echo "check-lv2: $so is not x86_64"; status=1; }
if readelf -d "$so" | grep -q TEXTREL; then
    echo "check-lv2: $so has text relocations (not position-independent)"
    status=1
fi
if ! readelf -d "$so" | grep -q 'Flags:.*NODELETE'; then
    echo "check-lv2: $so can be unloaded; each load would leak its runtime's exception pool"
    status=1
fi
defined=$(nm -D --defined-only "$so" | awk '{print $3}' | sort | tr '\n' ' ')
if [ "$defined" != "lv2_descriptor " ]; then
    echo "check-lv2: $so defines '$defined', expected 'lv2_descriptor'"
    status=1
fi
needed=$(readelf -d "$so" | awk '/NEEDED/ {gsub(/[][]/, "", $5); print $5}' | sort | tr '\n' ' ')
for name in $needed; do
    case $name in
        libc.so.6|libm.so.6|ld-linux-x86-64.so.2|libpthread.so.0|libdl.so.2) ;;
        *) echo "check-lv2: $so needs $name, which its processing should not"; status=1 ;;
    esac
done
[ $status = 0 ] && echo "check-lv2: $so is x86_64 PIC; defines $defined; needs $needed"
exit $status
