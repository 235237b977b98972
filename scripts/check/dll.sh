#!/bin/sh
# What a host and a bare Windows machine need of a plug-in DLL: exactly its
# format's undecorated entry names (QUAVIX.dll's two unless others are
# given: Quavix.clap's clap_entry), imports from system DLLs only (no compiler
# runtime beside it, and msimg32 loaded at run time rather than imported),
# and the format its folder promises: PE32 in win32, PE32+ in win64.
set -eu
export LC_ALL=C
dll=$1
shift
want_exports=${*:-VSTPluginMain main}
case $dll in
    *win64*) want_magic=020b want_format=PE32+ ;;
    *) want_magic=010b want_format=PE32 ;;
esac
if [ ! -f "$dll" ]; then
    echo "check-dll: $dll does not exist" >&2
    exit 1
fi
# The 64-bit objdump reads both formats.
dump=$(x86_64-w64-mingw32-objdump -p "$dll")
magic=$(printf '%s\n' "$dump" | awk '$1 == "Magic" {print $2; exit}')
exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[ *[0-9]+\] [A-Za-z_]/ {print $NF}' | sort | tr '\n' ' ')
imports=$(printf '%s\n' "$dump" | awk '/DLL Name:/ {print tolower($3)}' | sort | tr '\n' ' ')
status=0
if [ "$magic" != "$want_magic" ]; then
    echo "check-dll: $dll has optional-header magic '$magic', expected $want_magic ($want_format)"
    status=1
fi
if [ "$exports" != "$want_exports " ]; then
    echo "check-dll: $dll exports '$exports', expected '$want_exports'"
    status=1
fi
for name in $imports; do
    case $name in
        kernel32.dll|user32.dll|gdi32.dll|ole32.dll|shell32.dll|msvcrt.dll) ;;
        *) echo "check-dll: $dll imports $name, which is not a system DLL we allow"; status=1 ;;
    esac
done
[ $status = 0 ] && echo "check-dll: $dll is $want_format; exports $exports; imports $imports"
exit $status
