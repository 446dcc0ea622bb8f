#!/usr/bin/env bash
# Builds the fuzzers with clang and runs each for a while, two at a time.
#
#   fuzz/run_fuzzers.sh SECONDS [FUZZER...]      (default: every fuzzer)
#
# Build directory: $QUOR_FUZZ_BUILD_DIR (default build-fuzz/). The seed corpora are made from the
# board server's pages into <build>/corpus/ when missing; each fuzzer grows its own working
# corpus in <build>/fuzz-corpus/<name>/, writes what it finds to <build>/fuzz-artifacts/<name>/
# and its log to <build>/fuzz-logs/<name>.log. Exit status 1 when any fuzzer found something.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:?usage: run_fuzzers.sh SECONDS [FUZZER...]}
shift
all=(kanji_code text_cleaner field_renderer marker_pattern convert_board post_index read_state page_response)
fuzzers=("$@")
[[ ${#fuzzers[@]} -eq 0 ]] && fuzzers=("${all[@]}")
build=${QUOR_FUZZ_BUILD_DIR:-$root/build-fuzz}
jobs=${QUOR_FUZZ_JOBS:-2}

# The engine's own warnings are not the fuzzers' business; the regular build checks them.
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUOR_BUILD_FUZZ=ON -DQUOR_BUILD_TESTS=OFF -DQUOR_BUILD_GUI=OFF -DQUOR_WERROR=OFF >/dev/null
cmake --build "$build" --target quor_fuzzers
[[ -d $build/corpus ]] || python3 "$root/fuzz/make_corpus.py" "$build/corpus"

run_one() {
    local name=$1
    local work=$build/fuzz-corpus/$name artifacts=$build/fuzz-artifacts/$name
    mkdir -p "$work" "$artifacts" "$build/fuzz-logs"
    local log=$build/fuzz-logs/$name.log
    local status=0
    "$build/fuzz/fuzz_$name" "$work" "$build/corpus/$name" -max_total_time="$seconds" \
        -max_len=32768 -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" >"$log" 2>&1 || status=$?
    local runs
    runs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' || true)
    local found
    found=$(find "$artifacts" -type f | wc -l)
    printf '%-14s exit %d, %s runs in %ss, corpus %s files, %s finding(s)\n' "$name" "$status" \
        "${runs:-?}" "$seconds" "$(find "$work" -type f | wc -l)" "$found"
    [[ $status -eq 0 && $found -eq 0 ]]
}

failed=0
pids=()
for name in "${fuzzers[@]}"; do
    run_one "$name" &
    pids+=($!)
    if [[ ${#pids[@]} -ge $jobs ]]; then
        wait "${pids[0]}" || failed=1
        pids=("${pids[@]:1}")
    fi
done
for pid in "${pids[@]}"; do
    wait "$pid" || failed=1
done
exit $failed
