#!/usr/bin/env bash
# Includes run one way: directory/, check/, convert/ and query/ may include from
# datafile/ and ap/, datafile/ only from ap/, ap/ from nothing of the
# project's; the programs never from each other. Every project header a file includes
# must be found in its own folder or a layer below. (The CMake targets
# enforce the same for the build; this also catches a relative path.)
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A below=(
  [ap]="ap"
  [datafile]="datafile ap"
  [directory]="directory datafile ap"
  [check]="check datafile ap"
  [convert]="convert datafile ap"
  [query]="query datafile ap"
)
status=0
for layer in "${!below[@]}"; do
  for file in $(git ls-files "$layer/*.cpp" "$layer/*.h"); do
    while IFS= read -r header; do
      found=0
      for dir in ${below[$layer]}; do
        [ -f "$dir/$header" ] && found=1
      done
      if [ "$found" -eq 0 ]; then
        echo "$file: includes \"$header\", which is not in ${below[$layer]// /, }" >&2
        status=1
      fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  done
done
[ "$status" -eq 0 ] && echo "layers: every include is from its own layer or one below"
exit $status
