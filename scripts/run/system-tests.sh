#!/bin/sh
# The Linux suite (quavix.so, the host tool, the editor on X11) and the
# Windows suite (both architectures under Wine) side by side, each on an
# Xvfb display of its own: they share no display, no Wine server and no
# files, and each spends much of its time waiting on windows and input, so
# together they take little longer than the longer one alone. Each suite's
# output goes to build/logs/ and is printed whole when both are done.
set -u
xvfb() { xvfb-run -a -s "-screen 0 2048x1536x24 -noreset" "$@"; }
mkdir -p build/logs
linux_log=build/logs/test-linux.log
windows_log=build/logs/test-windows.log
{
    xvfb ./scripts/run/linux-tests.sh
    echo $? >build/logs/test-linux.status
} >"$linux_log" 2>&1 &
linux=$!
# xvfb-run -a picks the first free display; the first server must hold its
# lock before the second looks.
sleep 3
{
    echo "== QUAVIX.dll and Quavix.clap exports and imports"
    ./scripts/check/dll.sh dist/win32/QUAVIX.dll && ./scripts/check/dll.sh dist/win64/QUAVIX.dll &&
        ./scripts/check/dll.sh dist/win32/Quavix.clap clap_entry && ./scripts/check/dll.sh dist/win64/Quavix.clap clap_entry &&
        xvfb ./scripts/run/windows-tests.sh build/win32 build/win64
    echo $? >build/logs/test-windows.status
} >"$windows_log" 2>&1 &
windows=$!
trap 'kill $linux $windows 2>/dev/null' INT TERM
wait $linux $windows
cat "$linux_log" "$windows_log"
status=0
for suite in linux windows; do
    if [ "$(cat build/logs/test-$suite.status 2>/dev/null)" != 0 ]; then
        echo "run-system-tests: the $suite suite failed (build/logs/test-$suite.log)" >&2
        status=1
    fi
done
exit $status
