#!/bin/sh
# The benchmarks of every build: processReplacing against the floor of its
# own arithmetic natively and for each DLL under Wine, then Quavix beside the
# VST effects Debian ships. Run on a display (xvfb-run), like every Wine run.
set -eu
. "$(dirname "$0")/wine-session.sh"
echo "== benchmark: dist/linux-x86_64 (native)"
./build/linux/quavix_bench
./build/linux/quavix_bench dist/linux-x86_64/quavix.so
echo "== benchmark: dist/linux-x86_64/quavix.lv2 beside quavix.so"
./build/linux/quavix_lv2_bench dist/linux-x86_64/quavix.so dist/linux-x86_64/quavix.lv2
wine_session_begin
for arch in win32 win64; do
    echo "== benchmark: dist/$arch/QUAVIX.dll under Wine"
    wine "build/$arch/quavix_bench.exe" "dist/$arch/QUAVIX.dll"
done
wine_session_end
"$(dirname "$0")/run-peer-bench.sh"
