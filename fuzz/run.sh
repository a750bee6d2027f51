#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz, replays the kept
# crash inputs of fuzz/regressions/, then fuzzes each target for SECONDS
# seconds on a scratch copy of its seed corpus in fuzz/corpus/. New crash
# inputs land in build/fuzz/artifacts. Exits non-zero on any finding.
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
targets=(apstring_differential whole_program)

cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"

mkdir -p "$build/artifacts" "$build/tmp"
export TMPDIR=$build/tmp  # the whole-program target's working directory
status=0
summary=()
for target in "${targets[@]}"; do
  binary=$build/fuzz/$target

  regressions=("$root/fuzz/regressions/$target"/*)
  if [ -e "${regressions[0]}" ]; then
    echo "== $target: replaying ${#regressions[@]} regression input(s)"
    if ! "$binary" "${regressions[@]}" >"$build/$target-regressions.log" 2>&1; then
      echo "FAIL: $target on a regression input; see $build/$target-regressions.log" >&2
      status=1
      continue
    fi
  fi

  corpus=$build/corpus/$target
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp "$root/fuzz/corpus/$target"/* "$corpus"/
  log=$build/$target.log
  echo "== $target: fuzzing for $seconds s (log: $log)"
  if ! "$binary" "$corpus" -max_total_time="$seconds" -timeout=60 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$target-" >"$log" 2>&1; then
    echo "FAIL: $target found a crash; input in $build/artifacts, details in $log" >&2
    grep -E '^(whole program|apstring differs)|ERROR|SUMMARY' "$log" >&2 || true
    status=1
  fi
  runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' || echo '?')
  last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
  cov=$(grep -oE 'cov: [0-9]+' <<<"$last" || echo 'cov: ?')
  ft=$(grep -oE 'ft: [0-9]+' <<<"$last" || echo 'ft: ?')
  corp=$(grep -oE 'corp: [0-9]+/[0-9]+[a-zA-Z]*' <<<"$last" || echo 'corp: ?')
  summary+=("$target: $runs executions in ${seconds} s, $cov, $ft, $corp")
done

echo
printf '%s\n' "${summary[@]}"
exit $status
