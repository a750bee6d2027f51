#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz, replays the kept
# crash inputs of fuzz/regressions/, then fuzzes each target for SECONDS
# seconds on a scratch copy of its seed corpus in fuzz/corpus/, the
# targets side by side. New crash inputs land in build/fuzz/artifacts.
# Exits non-zero on any finding.
#
#   fuzz/run.sh SECONDS
set -euo pipefail

if [ $# -ne 1 ] || ! [[ $1 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS" >&2
  exit 2
fi
seconds=$1
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
targets=(apstring_differential whole_program convert_import)

cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"

mkdir -p "$build/artifacts" "$build/tmp"
export TMPDIR=$build/tmp  # where the targets write their files
# Replays the kept inputs, then fuzzes; the exit status tells whether
# anything was found.
fuzz_target() {
  local target=$1 binary=$build/fuzz/$1 corpus=$build/corpus/$1 log=$build/$1.log
  local regressions=("$root/fuzz/regressions/$target"/*)
  if [ -e "${regressions[0]}" ] &&
     ! "$binary" "${regressions[@]}" >"$build/$target-regressions.log" 2>&1; then
    echo "FAIL: $target on a regression input; see $build/$target-regressions.log" >&2
    return 1
  fi
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp "$root/fuzz/corpus/$target"/* "$corpus"/
  local dict=()  # words of the target's input format, when it has them
  [ -f "$root/fuzz/$target.dict" ] && dict=(-dict="$root/fuzz/$target.dict")
  if ! "$binary" "$corpus" "${dict[@]}" -max_total_time="$seconds" -timeout=60 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$target-" >"$log" 2>&1; then
    echo "FAIL: $target found a crash; input in $build/artifacts, details in $log" >&2
    grep -E '^(whole program|apstring differs|convert import)|ERROR|SUMMARY' "$log" >&2 || true
    return 1
  fi
}

# The targets side by side, however many cores there are: the run takes
# SECONDS whatever the count, and on two cores three targets share them.
pids=()
for target in "${targets[@]}"; do
  echo "== $target: replaying fuzz/regressions/$target, then fuzzing for $seconds s (log: $build/$target.log)"
  fuzz_target "$target" &
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done

summary=()
for target in "${targets[@]}"; do
  log=$build/$target.log
  [ -f "$log" ] || continue
  runs=$(sed -n 's/.*stat::number_of_executed_units: *\([0-9][0-9]*\).*/\1/p' "$log")
  runs=${runs:-?}
  last=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)  # none when a target fails at start
  cov='cov: ?' ft='ft: ?' corp='corp: ?'
  [[ $last =~ cov:\ [0-9]+ ]] && cov=${BASH_REMATCH[0]}
  [[ $last =~ ft:\ [0-9]+ ]] && ft=${BASH_REMATCH[0]}
  [[ $last =~ corp:\ [0-9]+/[0-9]+[a-zA-Z]* ]] && corp=${BASH_REMATCH[0]}
  summary+=("$target: $runs executions in ${seconds} s, $cov, $ft, $corp")
done

echo
printf '%s\n' "${summary[@]}"
exit $status
