#!/bin/sh
# What an LV2 host needs of the bundle quavix.lv2: Turtle files that Debian's
# lv2_validate accepts against the LV2 schemas in /usr/lib/lv2 without an
# error or a warning, and two x86_64 shared objects, never unloaded: the
# processing, whose only dynamic symbol of its own is lv2_descriptor and
# which needs nothing beyond the C library (no X11, no cairo), and the
# panel, whose only one is lv2ui_descriptor and which needs X11 and cairo
# besides. The panel's binary is checked when the build made one.
#
#   scripts/check/lv2.sh BUNDLE_DIR
set -eu
export LC_ALL=C
. "$(dirname "$0")/../lib/shared-object-checks.sh"
me=check-lv2
bundle=$1
so=$bundle/quavix_dsp.so
status=0
for file in "$bundle/manifest.ttl" "$bundle/quavix.ttl" "$so"; do
    if [ ! -f "$file" ]; then
        echo "check-lv2: $file does not exist" >&2
        exit 1
    fi
done
# lv2_validate names Debian's own files it skips on stderr; only our
# findings count.
report=$(lv2_validate "$bundle/manifest.ttl" "$bundle/quavix.ttl" 2>&1) || status=1
findings=$(printf '%s\n' "$report" | grep -v '^Skipping file /usr/lib/lv2/' || true)
if ! printf '%s\n' "$findings" | grep -q '^Found 0 errors' || printf '%s\n' "$findings" | grep -qi 'warn'; then
    status=1
fi
echo "check-lv2: lv2_validate: $(printf '%s\n' "$findings" | tr '\n' ' ')"
check_shared_object "$so"
check_defined "$so" "lv2_descriptor"
check_needed "$so" "" "which its processing should not"
report_shared_object "$so"
ui=$bundle/quavix_ui.so
if [ -f "$ui" ]; then
    check_shared_object "$ui"
    check_defined "$ui" "lv2ui_descriptor"
    check_needed "$ui" "" "which the panel loads when it opens, not with the module"
    report_shared_object "$ui"
fi
exit $status
