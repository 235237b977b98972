#!/bin/sh
# Validates Quavix with the host tool of each build: quavix-host --validate
# at the strictness given (1 quick .. 10 long).
#
#   scripts/run/validation.sh STRICTNESS [DIST_DIR...]
#
# Each DIST_DIR holds a build's plug-in beside its tool: quavix.so and
# quavix-host (Linux, run directly), or QUAVIX.dll and quavix-host.exe
# (Windows, run with wine in the caller's Wine session, on its display, so
# that the editor groups get windows: scripts/run/windows-tests.sh calls this
# after its tests). Without DIST_DIRs: dist/linux-x86_64, dist/win32 and
# dist/win64. Each run's full report goes to
# build/logs/validation-BUILD-STRICTNESS.txt (dist holds only what users
# install); the checks that failed, the seed and the tally are printed here.
# Exits 1 naming every build whose validation failed.
set -u
. "$(dirname "$0")/../lib/wine-env.sh"
if [ $# -lt 1 ]; then
    echo "usage: $0 STRICTNESS [DIST_DIR...]" >&2
    exit 2
fi
strictness=$1
shift
[ $# -gt 0 ] || set -- dist/linux-x86_64 dist/win32 dist/win64
failed=""
for dist in "$@"; do
    if [ -x "$dist/quavix-host" ] && [ -f "$dist/quavix.so" ]; then
        run() { "$dist/quavix-host" --validate "$dist/quavix.so" --strictness "$strictness"; }
    elif [ -f "$dist/quavix-host.exe" ] && [ -f "$dist/QUAVIX.dll" ]; then
        run() { wine "$dist/quavix-host.exe" --validate "$dist/QUAVIX.dll" --strictness "$strictness" </dev/null; }
    else
        echo "run-validation: no plug-in and host tool in $dist; build it first" >&2
        failed="$failed $dist"
        continue
    fi
    mkdir -p build/logs
    report="build/logs/validation-$(basename "$dist")-$strictness.txt"
    echo "== Validation of Quavix at strictness $strictness: $dist"
    start=$(date +%s)
    run 2>&1 | tr -d '\r' >"$report"
    # The tally is the last line; the tool's exit status is lost in the pipe.
    tally=$(tail -n 1 "$report")
    grep -E '^Rerun with:|^  FAIL|^        (failure|warning):' "$report"
    echo "   $tally, $(grep -c '^        warning:' "$report") warnings ($(($(date +%s) - start)) s; full report in $report)"
    case "$tally" in
    *" passed, 0 failed") ;;
    *) failed="$failed $dist" ;;
    esac
done
if [ -n "$failed" ]; then
    echo "run-validation: validation failed for:$failed" >&2
    exit 1
fi
exit 0
