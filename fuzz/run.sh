#!/usr/bin/env bash
# Runs the fuzz harnesses of a fuzz build folder one after the other, each for a set time, and prints one line per
# harness: executions, coverage (libFuzzer's cov: and ft:) and the result. Each harness starts from its seeds in
# fuzz/corpus/<reader>/ plus what earlier runs found interesting (BUILD/fuzz/work/<reader>/, never the seeds'
# folder), with fuzz/<reader>.dict as its dictionary where there is one. An input that crashes, trips a sanitizer or breaks a harness's check is saved in BUILD/fuzz/findings/
# and the run ends with status 1 after the remaining harnesses; BUILD/fuzz/<reader>.log has libFuzzer's output.
#
#   fuzz/run.sh BUILD SECONDS [READER...]        (default: every harness)
#
# With FUZZ_RUNS=N in the environment a harness stops after N executions instead (SECONDS still bounds it).
set -uo pipefail
cd "$(dirname "$0")/.."

if [[ $# -lt 2 ]]; then
    echo "usage: fuzz/run.sh BUILD SECONDS [READER...]" >&2
    exit 2
fi
build=$1
seconds=$2
shift 2
readers=("$@")
if [[ ${#readers[@]} -eq 0 ]]; then
    for source in fuzz/*_fuzz.cpp; do
        name=$(basename "$source" .cpp)
        readers+=("${name%_fuzz}")
    done
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
mkdir -p "$build/fuzz/findings"
status=0
printf "%-14s %12s %8s %8s  %s\n" reader executions cov ft result
for reader in "${readers[@]}"; do
    harness=$build/fuzz/${reader}_fuzz
    if [[ ! -x $harness ]]; then
        printf "%-14s %12s %8s %8s  %s\n" "$reader" - - - "no harness $harness"
        status=1
        continue
    fi
    work=$build/fuzz/work/$reader
    log=$build/fuzz/$reader.log
    mkdir -p "$work"
    # A text format's words, where it has a dictionary (fuzz/<reader>.dict).
    dictionary=()
    [[ -f fuzz/$reader.dict ]] && dictionary=(-dict="fuzz/$reader.dict")
    # One input may take 10 s at most; the memory limit is libFuzzer's default, said out loud.
    runs=()
    [[ -n ${FUZZ_RUNS:-} ]] && runs=(-runs="$FUZZ_RUNS")
    "$harness" -max_total_time="$seconds" "${runs[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "${dictionary[@]}" \
        -artifact_prefix="$build/fuzz/findings/$reader-" "$work" "fuzz/corpus/$reader" >"$log" 2>&1
    code=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    last=$(grep -E '^#[0-9]+' "$log" | tail -1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    if [[ $code -eq 0 ]]; then
        result="no finding"
    else
        artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -1)
        result="FINDING (exit $code) ${artifact:-see $log}"
        status=1
    fi
    printf "%-14s %12s %8s %8s  %s\n" "$reader" "${executions:--}" "${cov:--}" "${ft:--}" "$result"
done
exit $status
