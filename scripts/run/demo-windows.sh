#!/bin/sh
# The main job: each build of the plug-in in the host tool of its own
# architecture, rendering the built-in demo; the 32-bit build also saves a
# picture of the editor, and the 64-bit one a picture of it at 200%. Run on a
# display (xvfb-run).
set -eu
. "$(dirname "$0")/../lib/wine-session.sh"
wine_session_begin
mkdir -p dist/demo

step() {
    what=$1
    shift
    echo "demo: $what"
    if ! "$@"; then
        echo "demo: failed: $what" >&2
        exit 1
    fi
}

for arch in win32 win64; do
    step "rendering dist/demo/quavix-demo-$arch.wav with dist/$arch/QUAVIX.dll" \
        wine "dist/$arch/quavix-host.exe" "dist/$arch/QUAVIX.dll" --demo-out "dist/demo/quavix-demo-$arch.wav"
done
step "saving the editor picture dist/demo/quavix-editor.png" \
    wine dist/win32/quavix-host.exe --editor-png dist/demo/quavix-editor.png dist/win32/QUAVIX.dll
step "saving the editor picture at 200% dist/demo/quavix-editor@2x.png" \
    wine dist/win64/quavix-host.exe --editor-png dist/demo/quavix-editor@2x.png dist/win64/QUAVIX.dll --scale 2
# Every build renders the same demo to the byte.
for arch in win32 win64; do
    if ! cmp -s dist/demo/quavix-demo-linux.wav "dist/demo/quavix-demo-$arch.wav"; then
        echo "demo: failed: dist/demo/quavix-demo-$arch.wav differs from dist/demo/quavix-demo-linux.wav" >&2
        exit 1
    fi
done
echo "demo: the Linux, win32 and win64 demos are identical to the byte"
