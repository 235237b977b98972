#!/bin/sh
# Runs the Windows test programs of one or more build directories under Wine
# on the current (Xvfb) display, with one Wine server for the whole run, then
# validates the plug-in each build made (dist/win32 for build/win32).
set -eu
. "$(dirname "$0")/../lib/wine-session.sh"
wine_session_begin
QUAVIX_STRICTNESS=${QUAVIX_STRICTNESS:-5}
# The native build's digest of the reference signal, for the bit-identity test.
QUAVIX_NATIVE_DIGEST=$(./build/linux/quavix_reference 2>/dev/null || true)
export QUAVIX_NATIVE_DIGEST
status=0
for build_dir in "$@"; do
    echo "== Windows tests under Wine: $build_dir"
    (cd "$build_dir" && ctest --output-on-failure) || { status=1; echo "Windows tests failed in $build_dir" >&2; }
done
# Each build's plug-in through the validator, in this session and on this display.
for build_dir in "$@"; do
    "$(dirname "$0")/validation.sh" "$QUAVIX_STRICTNESS" "dist/$(basename "$build_dir")" || status=1
done
exit $status
