#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, ASan and UBSan) and runs every fuzz target listed in
# fuzz/targets.txt: first over its committed seeds, one run each, then fuzzing from them.
#
#   scripts/fuzz.sh                 the regression check CI runs: a fixed number of runs with a
#                                   fixed seed (--runs 10000 --seed 1)
#   scripts/fuzz.sh --runs N        N runs per target (at most 90 s each, and at most the
#                                   target's own cap from fuzz/targets.txt)
#   scripts/fuzz.sh SECONDS         fuzz each target for SECONDS (a long run; e.g. 600)
#   ... [TARGET...]                 only the targets named (e.g. fuzz_scriptline)
#   --seed S, --no-build            another seed; skip installing and building
#
# What the fuzzing finds stays under build/fuzz/run/TARGET/ (its corpus, its log and any crash
# file); the committed seed folders are only read. Exits non-zero when a target crashed, leaked,
# timed out or failed a check; the last lines sum up runs and coverage per target.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=10000
seconds=""
seed=1
build=1
only=()
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; seconds=""; shift 2 ;;
    --seed) seed="$2"; shift 2 ;;
    --no-build) build=0; shift ;;
    -h|--help) sed -n '2,16p' "$0"; exit 0 ;;
    [0-9]*) seconds="$1"; shift ;;
    *) only+=("$1"); shift ;;
  esac
done

[ "$build" -eq 1 ] && scripts/setup.sh fuzz

bin=build/fuzz/bin
out=build/fuzz/run
mkdir -p "$out"
summary=()
failed=0
passed=0
# ASan's leak check stays on; a run past 25 s on one input is a hang.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

while read -r target seeds dict cap; do
  case "$target" in ''|\#*) continue ;; esac
  if [ ${#only[@]} -gt 0 ] && [[ ! " ${only[*]} " == *" $target "* ]]; then continue; fi
  exe="$bin/$target"
  seeddir="fuzz/$seeds"
  work="$out/$target"
  rm -rf "$work"
  mkdir -p "$work/corpus"
  log="$work/log.txt"
  if [ ! -x "$exe" ]; then
    echo "fuzz: $target: not built"
    summary+=("$target: not built")
    failed=$((failed + 1))
    continue
  fi
  limits=(-timeout=25 -rss_limit_mb=2560)
  args=("${limits[@]}" -seed="$seed" -print_final_stats=1 -artifact_prefix="$work/")
  [ "$dict" != "-" ] && args+=(-dict="fuzz/$dict")
  if [ -n "$seconds" ]; then
    args+=(-max_total_time="$seconds")
    what="$seconds s"
  else
    # A bound for a slow or shared machine: CI must end even when a target is slow there.
    # A target slow per input (fuzz/targets.txt's fourth column) runs fewer.
    n="$runs"
    if [ -n "${cap:-}" ] && [ "$cap" -lt "$n" ]; then n="$cap"; fi
    args+=(-runs="$n" -max_total_time=90)
    what="$n runs"
  fi
  start=$(date +%s)
  # Every seed once, as a regression check of its own; then fuzzing from the seeds.
  ok=1
  if ! "$exe" "${limits[@]}" "$seeddir"/* </dev/null >"$work/seeds.txt" 2>&1; then
    ok=0
    echo "fuzz: $target: a seed fails"
    tail -n 40 "$work/seeds.txt"
  fi
  if [ "$ok" -eq 1 ] && ! "$exe" "${args[@]}" "$work/corpus" "$seeddir" </dev/null >"$log" 2>&1; then
    ok=0
    echo "fuzz: $target: FAILED ($what, seed $seed)"
    tail -n 60 "$log"
  fi
  took=$(( $(date +%s) - start ))
  line=$(grep -E '^#[0-9]+.*(DONE|INITED)' "$log" 2>/dev/null | tail -n 1 || true)
  executed=$(grep -E '^stat::number_of_executed_units' "$log" 2>/dev/null | awk '{print $2}' || true)
  cov=$(sed -nE 's/.* cov: ([0-9]+).*/\1/p' <<<"$line")
  ft=$(sed -nE 's/.* ft: ([0-9]+).*/\1/p' <<<"$line")
  if [ "$ok" -eq 1 ]; then
    passed=$((passed + 1))
    result="ok"
  else
    failed=$((failed + 1))
    result="FAILED"
  fi
  entry=$(printf '%-22s %-6s runs %-10s cov %-6s ft %-6s %4ss' "$target" "$result" "${executed:-?}" "${cov:-?}" "${ft:-?}" "$took")
  echo "fuzz: $entry"
  summary+=("$entry")
done <fuzz/targets.txt

echo "fuzz: summary ($( [ -n "$seconds" ] && echo "$seconds s" || echo "$runs runs" ) per target, seed $seed)"
for s in "${summary[@]}"; do echo "  $s"; done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
