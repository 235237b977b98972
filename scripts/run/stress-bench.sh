#!/bin/sh
# Quavix in its three formats and the peers of peer-bench.sh under a
# session's load, side by side: quavix-host --stress on each, one after the
# other, STRESS_INSTANCES instances (default 64) for STRESS_SECONDS each
# (default 10), and a table
# of what each printed: the time per block, deadline misses, allocations
# and locks on the audio threads, and resident memory. Needs a display for
# the editors (xvfb-run). A peer that is not installed or fails is skipped
# with a message; the run fails only when Quavix itself does.
set -u
dist=${QUAVIX_LINUX_DIST:-dist/linux-x86_64}
host=$dist/quavix-host
quavix=$dist/quavix.so
instances=${STRESS_INSTANCES:-64}
seconds=${STRESS_SECONDS:-10}
if [ ! -x "$host" ] || [ ! -f "$quavix" ]; then
    echo "stress-bench: no $host or $quavix; build them first (make linux)" >&2
    exit 1
fi
log=$(mktemp)
rows=$(mktemp)
trap 'rm -f "$log" "$rows"' EXIT

# The peers' files, as peer-bench.sh lists them (PACKAGE|FILE|SETTINGS|WHAT).
peers=$(sed -n "/<<'PEERS'\$/,/^PEERS\$/p" "$(dirname "$0")/peer-bench.sh" | sed '1d;$d' | cut -d'|' -f2)

# One row from a run's output: name, the three times, misses (and of them
# those whose processing alone overran, and the latest wake-up in ms),
# blocks, allocator calls, locks and resident memory at the start and after.
stress_row() {
    sed -n \
        -e 's/^Stress: [0-9]* instances of "\(.*\)" for .*/name \1/p' \
        -e 's/^processing per block: median \([0-9.]*\) us, 99.9th percentile \([0-9.]*\) us, worst \([0-9.]*\) us$/times \1 \2 \3/p' \
        -e 's/^deadline misses: [0-9]* of [0-9]* blocks .*: \([0-9]*\) with processing longer than a block, [0-9]* woken too late to finish (at worst \([0-9]*\) us late)$/misses \1 \2/p' \
        -e 's/^resident memory: .* MB before loading, \([0-9.]*\) MB at the start, \([0-9.]*\) MB after the run.*/memory \1 \2/p' \
        -e 's/^stress: [0-9]* instances, \([0-9]*\) blocks, \([0-9]*\) deadline misses, \(.*\) on audio threads$/last \1 \2 \3/p' \
        "$1" | awk -v file="$2" '
        $1 == "name" { $1 = ""; name = substr($0, 2) }
        $1 == "times" { median = $2; rare = $3; worst = $4 }
        $1 == "misses" { slow = $2; wake = $3 / 1000 }
        $1 == "memory" { start = $2; after = $3 }
        $1 == "last" { blocks = $2; misses = $3; allocations = $4; locks = $6 }
        END { printf "  %-28.28s %9s %9s %9s %7s %5s %6.1f %9s %7s %7s %7s %7s  %s\n", name, median, rare, worst,
                  misses, slow, wake, blocks, allocations, locks, start, after, file }'
}

echo "== Quavix and its peers under a session's load: $instances instances for $seconds s each, 48 kHz, blocks of 64"
status=0
for plugin in "$quavix" "$dist/quavix.lv2" "$dist/quavix.clap" $peers; do
    if [ ! -e "$plugin" ]; then
        echo "  skipped: $plugin is not installed"
        continue
    fi
    if ! "$host" --stress "$plugin" --instances "$instances" --seconds "$seconds" >"$log" 2>&1; then
        echo "  $(basename "$plugin") failed: $(grep 'quavix-host:' "$log" | tail -n 1)"
        case $plugin in "$dist"/quavix.*) status=1 ;; esac
        continue
    fi
    echo "  $(basename "$plugin"): $(grep '^stress: [0-9]* instances' "$log")"
    stress_row "$log" "$(basename "$plugin")" >>"$rows"
done
echo
echo "per block in us (median, 99.9th percentile, worst); deadline misses, of them those whose processing took"
echo "longer than a block (slow; the others woke too late), and the latest wake-up in ms; allocator calls and"
echo "locks on the audio threads; resident MB at the start and after the run"
printf '  %-28s %9s %9s %9s %7s %5s %6s %9s %7s %7s %7s %7s  %s\n' plug-in median 99.9th worst misses slow wake blocks \
    allocs locks 'MB@0' 'MB@end' file
cat "$rows"
exit $status
