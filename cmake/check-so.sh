#!/bin/sh
# What a Linux host and a bare Linux audio machine need of quavix.so: an
# x86_64 shared object whose only dynamic symbols of its own are the two
# entry points, and whose needs are libraries every Linux system has, and
# for the editor the two every Linux desktop audio machine has: Xlib and cairo.
set -eu
export LC_ALL=C
so=$1
if [ ! -f "$so" ]; then
    echo "check-so: $so does not exist" >&2
    exit 1
fi
status=0
header=$(readelf -h "$so")
printf '%s\n' "$header" | grep -q 'Type: *DYN' || { echo "check-so: $so is not a shared object"; status=1; }
printf '%s\n' "$header" | grep -q 'Machine: *Advanced Micro Devices X86-64' || { echo "check-so: $so is not x86_64"; status=1; }
if readelf -d "$so" | grep -q TEXTREL; then
    echo "check-so: $so has text relocations (not position-independent)"
    status=1
fi
if ! readelf -d "$so" | grep -q 'Flags:.*NODELETE'; then
    echo "check-so: $so can be unloaded; each load would leak its runtime's exception pool"
    status=1
fi
defined=$(nm -D --defined-only "$so" | awk '{print $3}' | sort | tr '\n' ' ')
if [ "$defined" != "VSTPluginMain main " ]; then
    echo "check-so: $so defines '$defined', expected 'VSTPluginMain main'"
    status=1
fi
needed=$(readelf -d "$so" | awk '/NEEDED/ {gsub(/[][]/, "", $5); print $5}' | sort | tr '\n' ' ')
for name in $needed; do
    case $name in
        libc.so.6|libm.so.6|ld-linux-x86-64.so.2|libpthread.so.0|libdl.so.2) ;;
        libX11.so.6|libcairo.so.2) ;;
        *) echo "check-so: $so needs $name, which a Linux audio machine may lack"; status=1 ;;
    esac
done
if ldd "$so" | grep -q 'not found'; then
    echo "check-so: $so has a dependency ldd cannot find"
    status=1
fi
[ $status = 0 ] && echo "check-so: $so is x86_64 PIC; defines $defined; needs $needed"
exit $status
