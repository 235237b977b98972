#!/bin/sh
# The benchmarks of every build: processReplacing against the floor of its
# own arithmetic natively and for each DLL under Wine, Quavix's three Linux
# formats beside each other and Debian's LV2 wahs, the editor's first
# paint and full redraw at 1x and 2x, then Quavix beside the VST effects
# Debian ships, by cost and under a session's load. Run on a display
# (xvfb-run), like every Wine run.
set -eu
. "$(dirname "$0")/../lib/wine-session.sh"
# The editor's figures are a few milliseconds each: more rounds steady the medians.
editor_rounds=25
echo "== benchmark: dist/linux-x86_64 (native)"
./build/linux/quavix_bench
./build/linux/quavix_bench dist/linux-x86_64/quavix.so
echo "== benchmark: Quavix's three formats side by side, and Debian's LV2 wahs and filters"
# A peer that is not installed is skipped with a message.
dist/linux-x86_64/quavix-host --bench dist/linux-x86_64/quavix.so dist/linux-x86_64/quavix.lv2 \
    dist/linux-x86_64/quavix.clap "http://guitarix.sourceforge.net/plugins/gxautowah#wah" \
    "http://guitarix.sourceforge.net/plugins/gxautowah#autowah" \
    "http://guitarix.sourceforge.net/plugins/gx_colwah_#_colwah_" "http://calf.sourceforge.net/plugins/Filter" \
    "http://calf.sourceforge.net/plugins/EnvelopeFilter"
echo "== benchmark: the editor of dist/linux-x86_64/quavix.so on X11, at 1x and 2x"
dist/linux-x86_64/quavix-host --editor-bench dist/linux-x86_64/quavix.so --rounds $editor_rounds
wine_session_begin
for arch in win32 win64; do
    echo "== benchmark: dist/$arch/QUAVIX.dll under Wine"
    wine "build/$arch/quavix_bench.exe" "dist/$arch/QUAVIX.dll"
    echo "== benchmark: the editor of dist/$arch/QUAVIX.dll under Wine, at 1x and 2x"
    wine "dist/$arch/quavix-host.exe" --editor-bench "dist/$arch/QUAVIX.dll" --rounds $editor_rounds
done
wine_session_end
"$(dirname "$0")/peer-bench.sh"
"$(dirname "$0")/footprint-bench.sh"
# Under a session's load, side by side with the same peers.
"$(dirname "$0")/stress-bench.sh"
