#!/bin/sh
# One step of a long job, told in one line: the step's whole output goes to
# build/logs/NAME.log; the line says how long it took, or that it failed,
# followed then by the end of the log.
#
#   scripts/run/step.sh "LABEL" NAME COMMAND [ARGUMENT...]
set -u
label=$1
log=build/logs/$2.log
shift 2
mkdir -p build/logs
start=$(date +%s)
printf '%s ... ' "$label"
if "$@" >"$log" 2>&1; then
    echo "done ($(($(date +%s) - start)) s)"
    exit 0
fi
status=$?
echo "FAILED after $(($(date +%s) - start)) s; the end of $log:"
tail -n 25 "$log" | sed 's/^/    /'
exit $status
