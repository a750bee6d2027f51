#!/usr/bin/env bash
# Includes run one way: directory/, check/, convert/ and query/ may include from
# datafile/ and ap/, datafile/ only from ap/, ap/ from nothing of the
# project's; the phone-number unit, phone/, beside datafile/, from nothing
# above ap/, and only the tools (check/, convert/, query/) from it; the programs never from each other. The command-line layer,
# cli/, lies between the tools (check/, convert/, query/) and datafile/: teledir
# (directory/) neither includes from it nor links it. Every project header
# a file includes must be found in its own folder or a layer below. (The
# CMake targets enforce the same for the build; this also catches a
# relative path.)
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A below=(
  [ap]="ap"
  [datafile]="datafile ap"
  [phone]="phone ap"
  [cli]="cli datafile ap"
  [directory]="directory datafile ap"
  [check]="check cli datafile phone ap"
  [convert]="convert cli datafile phone ap"
  [query]="query cli datafile phone ap"
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

# What each program links, however the CMake files say it: the targets it
# depends on, directly or not, as CMake's dependency graph of a scratch
# configuration lists them.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake -S . -B "$scratch" -DTELEDIR_BUILD_TESTS=OFF --graphviz="$scratch/graph/targets.dot" >"$scratch/log" 2>&1 ||
  { cat "$scratch/log" >&2; exit 1; }
links() { grep -q "label = \"$2\"" "$scratch/graph/targets.dot.$1"; }
if links teledir telelist_cli; then
  echo "teledir links telelist_cli, the command-line layer of the tools" >&2
  status=1
fi
for tool in telelist-check telelist-convert telelist-query; do
  if ! links "$tool" telelist_cli; then
    echo "$tool does not link telelist_cli, or the dependency graph has changed form" >&2
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "layers: teledir does not link the command-line layer; the tools do"
exit $status
