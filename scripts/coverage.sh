#!/usr/bin/env bash
# Line and branch coverage of the product code (ap/, datafile/, phone/, cli/, directory/, check/, convert/, query/) from the whole test suite.
# Usage: [PRESET=name] scripts/coverage.sh [min-line-percent min-branch-percent]
# Writes build/<preset>/coverage.html and fails below the given minimums.
#
# With the `coverage` preset (the default) it builds that preset and runs
# every test. Any other preset must be instrumented for gcov too (as `ci`
# is) and its tests already run (`make test`): the counts of that run are
# the ones reported, so CI builds and runs the suite once for both.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${PRESET:-coverage}
build=$root/build/$preset
min_lines=${1:-95}
min_branches=${2:-85}

cd "$root"
if [ "$preset" = coverage ]; then
  cmake --preset coverage >/dev/null
  cmake --build --preset coverage
  find "$build" -name '*.gcda' -delete
  ctest --preset coverage
else
  newest=''
  while IFS= read -r gcda; do
    if [ "$gcda" -nt "$newest" ]; then newest=$gcda; fi
  done < <(find "$build" -name '*.gcda' 2>/dev/null)
  if [ -z "$newest" ] || [ -n "$(find "$build" -name '*.gcno' -newer "$newest" -print -quit)" ]; then
    echo "FAIL: no gcov counts of the present build in $build; run \`make test PRESET=$preset\`" \
      "first (the preset must build with --coverage, as ci does)" >&2
    exit 1
  fi
  echo "Counts of the last test run in build/$preset"
fi

# Branches the compiler adds for exceptions and for code it proved
# unreachable say nothing about the tests, so they are left out.
gcovr --root "$root" --object-directory "$build" --exclude-directories "$build/CMakeFiles" \
  --filter "$root/ap/" --filter "$root/datafile/" --filter "$root/phone/" --filter "$root/cli/" --filter "$root/directory/" --filter "$root/check/" --filter "$root/convert/" \
  --filter "$root/query/" \
  --exclude-throw-branches --exclude-unreachable-branches \
  --print-summary --html-details "$build/coverage.html" \
  --fail-under-line "$min_lines" --fail-under-branch "$min_branches" \
  "$build"  # only this build: the wine prefix in build/windows reaches the whole disk
