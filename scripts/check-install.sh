#!/usr/bin/env bash
# What a user gets, checked after `make package`: `cmake --install` of the
# release build into a scratch prefix lays out exactly the expected files;
# the installed program runs a scripted session (3, then 4) in a folder
# holding the installed sample; groff finds nothing to warn about in the
# installed manual pages; bash accepts the installed completion files and
# sourcing one defines the completion of its program; the Debian package
# holds the programs, the pages and the completions, and lintian reports no
# error on it; the tarball is there.
#
#   scripts/check-install.sh
#   BUILD_DIR=/path/to/build scripts/check-install.sh   (another build tree)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/release}
# The programs, each with its manual page in section 1: the one list that
# names them. A program added here is expected as bin/PROGRAM and
# share/man/man1/PROGRAM.1, and in the .deb.
programs=(teledir telelist-check telelist-convert telelist-query)
# The programs with a bash completion, installed whether or not they are
# built.
completions=(telelist-check telelist-convert telelist-query)
# Every manual page, as installed under share/man: the programs' and the
# data file's.
pages=(man5/telelist.dat.5)
for program in "${programs[@]}"; do
  pages+=("man1/$program.1")
done

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

echo "== installed files"
expected=(share/doc/teledir/README.md share/doc/teledir/examples/telelist.dat)
for program in "${programs[@]}"; do
  expected+=("bin/$program")
done
for page in "${pages[@]}"; do
  expected+=("share/man/$page")
done
for program in "${completions[@]}"; do
  expected+=("share/bash-completion/completions/$program")
done
want=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
have=$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
if [ "$have" != "$want" ]; then
  diff <(echo "$want") <(echo "$have") >&2 || true
  fail "cmake --install: the files above differ (< expected, > installed)"
fi
echo "$have"

echo "== installed program: full list, then Quit, on the installed sample"
session=$scratch/session
mkdir "$session"
cp "$prefix/share/doc/teledir/examples/telelist.dat" "$session/"
status=0
(cd "$session" && printf '3\n4\n' | "$prefix/bin/teledir" >out 2>err) || status=$?
[ "$status" -eq 0 ] || fail "exit status $status after Quit"
[ ! -s "$session/err" ] || fail "unexpected standard error: $(cat "$session/err")"
listed=$(grep -cE $'^[0-9]+\\)\t' "$session/out" || true)
[ "$listed" -eq 16 ] || fail "the full list has $listed lines, not 16"
while read -r first last area phone; do
  grep -qF "$last, $first; $area $phone" "$session/out" || fail "the list lacks $first $last"
done <"$session/telelist.dat"
echo "16 slots listed, every sample entry among them, exit status 0"

echo "== installed checker on the installed sample"
status=0
summary=$(cd "$session" && "$prefix/bin/telelist-check" | tail -n 1) || status=$?
[ "$status" -eq 0 ] || fail "telelist-check: exit status $status on the sample"
[ "$summary" = "telelist.dat: 12 entries loaded, 0 errors, 1 warning" ] ||
  fail "telelist-check summary: $summary"
echo "$summary"

echo "== manual pages"
for page in "${pages[@]}"; do
  file=$prefix/share/man/$page
  warnings=$(groff -man -ww -z "$file" 2>&1)
  [ -z "$warnings" ] || fail "groff on ${page#*/}: $warnings"
  ! grep -q '@[A-Z_]*@' "$file" || fail "${page#*/} has a placeholder left"
  echo "${page#*/}: groff -man -ww -z is silent"
done

echo "== bash completions"
for program in "${completions[@]}"; do
  file=$prefix/share/bash-completion/completions/$program
  bash -n "$file" || fail "bash -n rejects completions/$program"
  spec=$(bash --norc --noprofile -c 'source "$1" && complete -p "$2"' _ "$file" "$program" 2>&1) ||
    fail "sourcing completions/$program defines no completion for $program: $spec"
  # The function it names completes "--h" to --help.
  offered=$(bash --norc --noprofile -c '
    source "$1"
    spec=$(complete -p "$2")
    function=${spec#*-F }
    function=${function%% *}
    COMP_WORDS=("$2" --h)
    COMP_CWORD=1
    COMP_LINE="$2 --h"
    COMP_POINT=${#COMP_LINE}
    "$function" "$2" --h "$2"
    printf "%s\n" "${COMPREPLY[@]}"' _ "$file" "$program" 2>&1)
  [ "$offered" = --help ] || fail "completions/$program: \"--h\" completes to: $offered"
  echo "completions/$program: bash -n passes; $spec; \"--h\" completes to --help"
done

echo "== Debian package"
debs=("$build"/teledir_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || fail "want one .deb in $build (make package)"
contents=$(dpkg-deb -c "${debs[0]}" | awk '{print $NF}')
packaged=()
for program in "${programs[@]}"; do
  packaged+=("usr/bin/$program")
done
for page in "${pages[@]}"; do
  packaged+=("usr/share/man/$page.gz")
done
for program in "${completions[@]}"; do
  packaged+=("usr/share/bash-completion/completions/$program")
done
for file in "${packaged[@]}"; do
  grep -qx "\./$file" <<<"$contents" || fail "${debs[0]##*/} lacks $file"
done
for file in copyright changelog.Debian.gz README.md examples/telelist.dat; do
  grep -qx "\./usr/share/doc/teledir/$file" <<<"$contents" || fail "${debs[0]##*/} lacks $file"
done
echo "${debs[0]##*/}: $(wc -c <"${debs[0]}" | tr -d '[:blank:]') bytes"
# lintian exits non-zero on an error (E:); README.md names the warnings.
lintian_status=0
report=$(lintian --fail-on error "${debs[0]}" 2>&1) || lintian_status=$?
grep -v 'running with root privileges' <<<"$report" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports an error"
echo "lintian: no error"

tarballs=("$build"/teledir-*.tar.gz)
[ -f "${tarballs[0]}" ] || fail "no tarball in $build (make package)"
echo "${tarballs[0]##*/}: $(wc -c <"${tarballs[0]}" | tr -d '[:blank:]') bytes"
