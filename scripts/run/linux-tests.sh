#!/bin/sh
# The Linux build's tests on the current (Xvfb) display: the plug-in, LV2
# and host tool tests, the editor's tests with real X input (x11_*), what
# quavix.so and the LV2 bundle export and need, and the validator on
# quavix.so, its editor included.
set -eu
strictness=${QUAVIX_STRICTNESS:-5}
if [ -z "${DISPLAY:-}" ]; then
    echo "$0: needs a display; run it under xvfb-run" >&2
    exit 1
fi
status=0
echo "== Linux plug-in, host tool and editor on X11"
(cd build/linux && ctest --output-on-failure) || { status=1; echo "Linux tests failed in build/linux" >&2; }
./scripts/check/so.sh dist/linux-x86_64/quavix.so || status=1
./scripts/check/so.sh dist/linux-x86_64/quavix.clap clap_entry || status=1
./scripts/check/lv2.sh dist/linux-x86_64/quavix.lv2 || status=1
./scripts/run/validation.sh "$strictness" dist/linux-x86_64 || status=1
exit $status
