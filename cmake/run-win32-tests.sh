#!/bin/sh
# Runs the Windows test programs under Wine on the current (Xvfb) display.
# One persistent wineserver serves the whole run; it is stopped before the
# display goes away.
set -eu
build_dir=$1
. "$(dirname "$0")/wine-env.sh"
wineserver -p 60 </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
# The native build's digest of the reference signal, for the bit-identity test.
QUAVIX_NATIVE_DIGEST=$(./build/native-bench/quavix_reference 2>/dev/null || true)
export QUAVIX_NATIVE_DIGEST
status=0
(cd "$build_dir" && ctest --output-on-failure) || status=$?
wineserver -k || true
exit $status
