#!/bin/sh
# The Linux host tool's validator over the peers of scripts/run/peer-bench.sh,
# Debian's VST 2.4 packages, run as black boxes: for each, the checks that
# failed, the whole of the Host habits group (what real hosts do with
# parameters, flags and scans, with its figures), and the tally. Their faults
# are their projects' to fix, so this never fails for them; it fails only
# when the tool itself is missing.
#
#   scripts/run/validate-peers.sh [STRICTNESS]    (default 3)
set -u
strictness=${1:-3}
dist=${QUAVIX_LINUX_DIST:-dist/linux-x86_64}
host=$dist/quavix-host
if [ ! -x "$host" ]; then
    echo "validate-peers: no $host; build it first (make linux)" >&2
    exit 1
fi
here=$(dirname "$0")
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# The peer list is peer-bench.sh's: package|file|settings|description.
sed -n '/^PEERS$/q;/<<.PEERS.$/,$p' "$here/peer-bench.sh" | sed 1d | while IFS='|' read -r package file settings what; do
    [ -n "$package" ] || continue
    echo "== $package: $file (strictness $strictness)"
    if [ ! -f "$file" ]; then
        echo "   skipped: not installed"
        continue
    fi
    "$host" --validate "$file" --strictness "$strictness" >"$log" 2>&1
    # Host habits is the last group: its lines come whole after the others' failures.
    sed '/^== Host habits (/,$d' "$log" |
        grep -E '^Rerun with:|^  FAIL|^        (failure|warning):|^        quavix-host: crashed' | sed 's/^/   /'
    sed -n '/^== Host habits (/,/^== \|^[0-9]* warnings$/p' "$log" | sed '/^$/d;/^[0-9]* warnings$/d;s/^/   /'
    echo "   $(tail -n 1 "$log"), $(grep -c '^        warning:' "$log") warnings"
done
exit 0
