#!/bin/sh
# The main job: QUAVIX.dll in our host tool, rendering the built-in demo.
set -eu
. "$(dirname "$0")/wine-env.sh"
wineserver -p 60 </dev/null >/dev/null 2>&1
mkdir -p dist/demo
status=0
wine dist/win32/quavix-host.exe dist/win32/QUAVIX.dll --demo-out dist/demo/quavix-demo.wav || status=$?
if [ $status = 0 ]; then
    wine dist/win32/quavix-host.exe --editor-png dist/demo/quavix-editor.png dist/win32/QUAVIX.dll || status=$?
fi
wineserver -k || true
exit $status
