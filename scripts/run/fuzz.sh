#!/bin/sh
# make fuzz: runs every fuzz target of build/fuzz for FUZZ_SECONDS seconds
# (default 60), from its seeds in tests/fuzz/corpus/NAME. New inputs that
# reach new code go to build/fuzz/corpus/NAME; an input that crashes a
# target (a sanitizer report, a broken invariant, a leak, a hang) ends that
# target's run and is copied into tests/fuzz/corpus/NAME, where the corpus
# replay in make test fails on it until it is fixed. Prints one line per
# target, then the totals; exits 1 if anything crashed.
set -u
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-60}
build=build/fuzz
targets="vst-dispatcher lv2-run clap-process editor-input wav-reader command-line"
total_runs=0
total_features=0
total_crashes=0
mkdir -p $build/logs
for name in $targets; do
    scratch=$build/corpus/$name
    artifacts=$build/crashes/$name
    log=$build/logs/fuzz-$name.log
    mkdir -p "$scratch" "$artifacts"
    dictionary=""
    [ -f tests/fuzz/$name.dict ] && dictionary="-dict=tests/fuzz/$name.dict"
    before=$(ls "$artifacts" | wc -l)
    # A hang of 10 s, or 2 GB of memory, counts as a crash.
    $build/fuzz-$name -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" $dictionary "$scratch" tests/fuzz/corpus/$name >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    [ -n "$runs" ] || runs=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$log" | tail -1)
    features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' "$log" | tail -1)
    crashes=$(($(ls "$artifacts" | wc -l) - before))
    if [ $status -ne 0 ] && [ $crashes -eq 0 ]; then
        echo "fuzz $name: failed without a crashing input (exit $status), see $log"
        crashes=1
    fi
    for found in $(ls -t "$artifacts" | head -n $crashes); do
        cp "$artifacts/$found" tests/fuzz/corpus/$name/
        echo "fuzz $name: $found crashed it; kept in tests/fuzz/corpus/$name (see $log)"
    done
    echo "fuzz $name: ${runs:-0} runs, ${features:-0} features, $crashes crashes"
    total_runs=$((total_runs + ${runs:-0}))
    total_features=$((total_features + ${features:-0}))
    total_crashes=$((total_crashes + crashes))
done
echo "fuzz total: $total_runs runs, $total_features features, $total_crashes crashes"
[ $total_crashes -eq 0 ]
