#!/usr/bin/env bash
# Line and branch coverage of the product code (ap/, datafile/, directory/, check/) from the whole test suite.
# Usage: scripts/coverage.sh [min-line-percent min-branch-percent]
# Writes build/coverage/coverage.html and fails below the given minimums.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/coverage
min_lines=${1:-95}
min_branches=${2:-85}

cd "$root"
cmake --preset coverage >/dev/null
cmake --build --preset coverage
find "$build" -name '*.gcda' -delete
ctest --preset coverage

# Branches the compiler adds for exceptions and for code it proved
# unreachable say nothing about the tests, so they are left out.
gcovr --root "$root" --object-directory "$build" --exclude-directories "$build/CMakeFiles" \
  --filter "$root/ap/" --filter "$root/datafile/" --filter "$root/directory/" --filter "$root/check/" \
  --exclude-throw-branches --exclude-unreachable-branches \
  --print-summary --html-details "$build/coverage.html" \
  --fail-under-line "$min_lines" --fail-under-branch "$min_branches" \
  "$build"  # only this build: the wine prefix in build/windows reaches the whole disk
