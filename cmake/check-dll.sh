#!/bin/sh
# What a host and a bare Windows machine need of QUAVIX.dll: exactly the two
# undecorated entry points, and imports from system DLLs only (no compiler
# runtime beside it, and msimg32 loaded at run time rather than imported).
set -eu
export LC_ALL=C
dll=$1
dump=$(i686-w64-mingw32-objdump -p "$dll")
exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[ *[0-9]+\] [A-Za-z_]/ {print $NF}' | sort | tr '\n' ' ')
imports=$(printf '%s\n' "$dump" | awk '/DLL Name:/ {print tolower($3)}' | sort | tr '\n' ' ')
status=0
if [ "$exports" != "VSTPluginMain main " ]; then
    echo "check-dll: $dll exports '$exports', expected 'VSTPluginMain main'"
    status=1
fi
for name in $imports; do
    case $name in
        kernel32.dll|user32.dll|gdi32.dll|ole32.dll|shell32.dll|msvcrt.dll) ;;
        *) echo "check-dll: $dll imports $name, which is not a system DLL we allow"; status=1 ;;
    esac
done
[ $status = 0 ] && echo "check-dll: $dll exports $exports; imports $imports"
exit $status
