#!/bin/sh
# What a Linux host and a bare Linux audio machine need of a plug-in binary:
# an x86_64 shared object whose only dynamic symbols of its own are its
# format's entry names (quavix.so's two unless others are given:
# quavix.clap's clap_entry), and whose needs are libraries every Linux system has, and
# for the editor the two every Linux desktop audio machine has: Xlib and cairo.
set -eu
export LC_ALL=C
. "$(dirname "$0")/../lib/shared-object-checks.sh"
me=check-so
so=$1
shift
entries=${*:-VSTPluginMain main}
if [ ! -f "$so" ]; then
    echo "check-so: $so does not exist" >&2
    exit 1
fi
status=0
check_shared_object "$so"
check_defined "$so" "$entries"
# Xlib and cairo are loaded when an editor opens, not with the module.
check_needed "$so" "" "which a scan should not load"
if ldd "$so" | grep -q 'not found'; then
    echo "check-so: $so has a dependency ldd cannot find"
    status=1
fi
report_shared_object "$so"
exit $status
