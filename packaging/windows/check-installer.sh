#!/bin/sh
# The Windows installer as a user runs it, under Wine: a silent install into
# the usual folders, the installed host tool reading the installed plug-in,
# a silent uninstall that leaves no file and no registry key; then the same
# with a folder picked on the command line (/D=).
#
#   packaging/windows/check-installer.sh SETUP.exe
#
# It runs in a Wine prefix of its own beside the tests' (made on first use),
# so that what it finds in Program Files is only what the installer did.
set -eu
setup=$(realpath "$1")
. "$(dirname "$0")/../../scripts/lib/wine-env.sh"
export WINEPREFIX="$WINEPREFIX-installer"
unset DISPLAY
version=$(cat "$(dirname "$0")/../../VERSION")
failures=0
fail() {
    echo "  FAIL $*"
    failures=$((failures + 1))
}
finish() { wineserver -k >/dev/null 2>&1 || true; }
trap finish EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "check-installer: making the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi
drive=$WINEPREFIX/drive_c
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quavix'

# Every file under the folders the installer may touch, and the Quavix
# uninstall key's values.
state() {
    for folder in "Program Files/VstPlugins" "Program Files (x86)/VstPlugins" "Program Files/Common Files/CLAP" \
        "Program Files (x86)/Common Files/CLAP" "Program Files/Quavix" "Plugins"; do
        [ -d "$drive/$folder" ] && (cd "$drive" && find "$folder" -type f) | sed 's/^/  C:\//'
    done | sort
    wine reg query "$key" /reg:64 2>/dev/null | tr -d '\r' | grep -E '^ +[A-Za-z0-9]+ +REG_' | sed 's/^ */  HKLM\\...\\Uninstall\\Quavix: /'
    wineserver -w
}

expect_file() {
    [ -f "$drive/$1" ] || fail "the installer did not put C:/$1"
}

# One install and uninstall; $1 the folder the 64-bit plug-in goes to
# (relative to C:), $2 the installer's extra argument.
round() {
    vst64=$1
    shift
    echo "== installer: wine $(basename "$setup") /S $*"
    before=$(state)
    [ -z "$before" ] || fail "the prefix is not clean before installing: $before"
    wine "$setup" /S "$@" </dev/null >/dev/null 2>&1 || fail "the installer exited with $?"
    wineserver -w
    echo "after installing:"
    after=$(state)
    echo "$after"
    expect_file "$vst64/QUAVIX.dll"
    expect_file "Program Files (x86)/VstPlugins/QUAVIX.dll"
    expect_file "Program Files/Common Files/CLAP/Quavix.clap"
    expect_file "Program Files (x86)/Common Files/CLAP/Quavix.clap"
    for f in quavix-host.exe x86/quavix-host.exe README.md LICENSE.txt THIRD-PARTY.md uninstall.exe; do
        expect_file "Program Files/Quavix/$f"
    done
    echo "$after" | grep -q "DisplayVersion  *REG_SZ  *$version\$" ||
        fail "Add/Remove Programs does not show version $version"
    echo "$after" | grep -q "UninstallString" || fail "no UninstallString: Add/Remove Programs cannot remove it"
    # The installed tools read the installed plug-ins, each its own architecture.
    c_vst64="C:\\$(echo "$vst64" | sed 's|/|\\|g')\\QUAVIX.dll"
    for tool in "Program Files/Quavix/quavix-host.exe:$c_vst64" \
        "Program Files/Quavix/x86/quavix-host.exe:C:\\Program Files (x86)\\VstPlugins\\QUAVIX.dll"; do
        exe=${tool%%:*}
        dll=${tool#*:}
        info=$(wine "$drive/$exe" --info "$dll" </dev/null 2>&1 | tr -d '\r')
        echo "$info" | grep -q '^Name  *Quavix$' || fail "C:/$exe --info '$dll' did not read Quavix: $info"
        echo "C:/$exe --info '$dll': $(echo "$info" | grep -E '^(Name|Vendor version|Category)' | tr -s ' ' |
            paste -sd ';')"
    done
    said=$(wine "$drive/Program Files/Quavix/quavix-host.exe" --version </dev/null 2>&1 | tr -d '\r')
    [ "$said" = "quavix-host $version" ] || fail "the installed quavix-host.exe --version says '$said'"
    wine "$drive/Program Files/Quavix/uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "the uninstaller exited with $?"
    wineserver -w
    left=$(state)
    echo "after uninstalling: ${left:-nothing}"
    [ -z "$left" ] || fail "the uninstaller left: $left"
}

round "Program Files/VstPlugins"
round "Plugins/VST64" "/D=C:\\Plugins\\VST64"
if [ $failures -gt 0 ]; then
    echo "check-installer: $failures failures" >&2
    exit 1
fi
echo "check-installer: installed, read and removed, in the usual folders and in a picked one"
