#!/usr/bin/env bash
# The Windows cross-build, tested under wine: the unit tests built for
# Windows, the black-box suite (the Linux build of its harness) on the real
# .exe and the recording build, telelist-query's and telelist-convert's case
# folders on their .exe, the four programs on files named in Greek and in
# CJK, and one console test on a pseudo-terminal.
# Needs the mingw-w64 cross compiler and wine (Debian's wine64). The wine
# prefix lives in build/windows/wine-prefix and is made on the first run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
windows=$root/build/windows
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEPREFIX=$windows/wine-prefix WINEDEBUG=-all

cmake --preset windows >/dev/null
cmake --build --preset windows
# The Linux harnesses come from the test build that `make test` uses.
linux=${PRESET:-debug}
cmake --preset "$linux" >/dev/null
cmake --build --preset "$linux" --target directory_blackbox_test terminal_tests query_test convert_test \
  teledir telelist-check telelist-convert telelist-query

# One wine server for the whole run, started apart from the tests: wine's
# background services keep open whatever output they inherit, and a test
# waiting for the end of a program's output would wait for them. It boots
# right before the tests: booted while the programs build, the services had
# gone idle when the tests began, and the first test then took 4 s, not 1 s,
# and at times failed.
mkdir -p "$WINEPREFIX"
"$wineserver" -p </dev/null >/dev/null 2>&1
trap '"$wineserver" -k 2>/dev/null || true' EXIT
"$wine" wineboot -i </dev/null >/dev/null 2>&1

# Now and then wine fails to start a program at all: status 1, no output,
# within milliseconds, whatever the program. A test that fails is therefore
# run once more; a real fault fails both times.
TELEDIR_TEST_WINE=$wine TELEDIR_TEST_WINDOWS_PROGRAM=$windows/directory/teledir.exe \
  build/$linux/tests/terminal/terminal_tests --gtest_filter='*Wine*' --gtest_brief=1
ctest --preset windows --repeat until-pass:2
blackbox() {
  TELEDIR_TEST_WRAPPER=$wine \
    TELEDIR_TEST_PROGRAM=$windows/directory/teledir.exe \
    TELEDIR_TEST_RECORDING_PROGRAM=$windows/tests/directory/teledir_recording.exe \
    TELEDIR_TEST_CHECK_PROGRAM=$windows/check/telelist-check.exe \
    TELEDIR_TEST_CRLF=1 TELEDIR_TEST_TIMEOUT=120 \
    build/$linux/tests/directory/directory_blackbox_test --gtest_brief=1 "$@"
}
# twice SUITE LOG [ARGUMENT...]: runs the test suite function SUITE with
# the arguments, its output in LOG; the tests that fail run once more.
twice() {
  local suite=$1 log=$2 failed
  shift 2
  if ! "$suite" "$@" >"$log" 2>&1; then
    cat "$log"
    failed=$(sed -n 's/^\[  FAILED  ] \([^ ,][^ ,]*\).*/\1/p' "$log" | sort -u | paste -sd: -)
    [ -n "$failed" ] || exit 1
    echo "== once more: $failed"
    "$suite" --gtest_filter="$failed"
  else
    tail -n 3 "$log"
  fi
}
twice blackbox "$windows/blackbox.log"

# cases TOOL ARGUMENT...: the case folders of telelist-TOOL on its .exe,
# names typed as arguments (in UTF-8, through the wide command line).
cases() {
  local tool=$1
  shift
  env TELEDIR_TEST_WRAPPER="$wine" "TELEDIR_TEST_${tool^^}_PROGRAM=$windows/$tool/telelist-$tool.exe" \
    TELEDIR_TEST_CRLF=1 TELEDIR_TEST_CPU_SECONDS=60 \
    "build/$linux/tests/$tool/${tool}_test" --gtest_brief=1 "$@"
}

# telelist-query's. Left out: the one case whose argument holds a byte that
# is not UTF-8, which no Windows command line can carry.
query_cases() { cases query "$@"; }
twice query_cases "$windows/query.log" \
  --gtest_filter='Cases/*:-Cases/QueryCase.OutputMessagesAndStatus/json_bytes_last'

# telelist-convert's. Left out: the case that reads Linux's /proc/self/mem
# (read_error), and the one whose missing file's name holds an escape
# character, which no Windows file name may hold: Windows refuses it as an
# invalid argument, not as a missing file (missing_file_escaped).
convert_cases() { cases convert "$@"; }
twice convert_cases "$windows/convert.log" \
  --gtest_filter='Cases/*:-Cases/ConvertCase.OutputMessagesAndStatus/read_error:Cases/ConvertCase.OutputMessagesAndStatus/missing_file_escaped'

# Each of the four programs on a data file, an input and an OUT named in
# Greek and in CJK, in a folder so named (teledir, whose data file's name is
# fixed, run in the folder): the Windows build must print and write what the
# Linux build does with the same names, each run ending with status 0.
names="$windows/names"
# tool SYSTEM PROGRAM [ARGUMENT...]: runs the program of the linux or the
# windows build in the current folder, standard input from $names/in; shows
# the command, its status and its output, CR LF read as LF.
tool() {
  local system=$1 program=$2 status attempt
  shift 2
  for attempt in 1 2; do
    status=0
    if [ "$system" = linux ]; then
      # A gcov build's counts go aside, and its notices with them.
      GCOV_PREFIX=$names/gcov "$root/build/$linux/$program" "$@" <"$names/in" >"$names/out" 2>&1 || status=$?
    else
      "$wine" "$windows/$program.exe" "$@" <"$names/in" >"$names/out" 2>&1 || status=$?
    fi
    # The start-up wine now and then fails (see above) gets one more try.
    [ "$status" -eq 1 ] && [ ! -s "$names/out" ] || break
  done
  echo "== ${program##*/} $* (status $status)"
  tr -d '\r' <"$names/out"
}
rm -rf "$names"
for system in linux windows; do
  for name in Ελένη 電話; do
    mkdir -p "$names/$system/$name"
    printf 'Ελένη Παπαδοπούλου 210 555-0101\n明 王 312 555-0102\n' >"$names/$system/$name/$name.dat"
    cp "$names/$system/$name/$name.dat" "$names/$system/$name/telelist.dat"
  done
  (
    cd "$names/$system"
    for name in Ελένη 電話; do
      printf '3\n4\n' >"$names/in"
      (cd "$name" && tool "$system" directory/teledir)
      : >"$names/in"
      tool "$system" check/telelist-check "$name/$name.dat"
      tool "$system" convert/telelist-convert --to vcard "$name/$name.dat" -o "$name/$name.vcf"
      tool "$system" convert/telelist-convert "$name/$name.vcf" -o "$name/$name.dat"
      tool "$system" query/telelist-query -f "$name/$name.dat" --last Παπαδοπούλου
    done
  ) >"$names/$system.log"
done
if ! diff -u "$names/linux.log" "$names/windows.log" || ! diff -r "$names/linux" "$names/windows" ||
  [ "$(grep -c '(status 0)$' "$names/windows.log")" -ne 10 ] ||
  [ "$(grep -Ec 'Παπαδοπούλου, Ελένη; \(?210\)? 555-0101$' "$names/windows.log")" -ne 4 ]; then
  echo "FAIL: the programs on files named Ελένη and 電話 (logs in $names)" >&2
  exit 1
fi
echo "Ελένη and 電話: 10 runs of the four programs as on Linux"

# The zip a Windows user unpacks: the programs, the sample and the papers.
(cd "$windows" && cpack -G ZIP >/dev/null)
zips=("$windows"/teledir-*-win64.zip)
listing=$(cmake -E tar tf "${zips[0]}")
for file in teledir.exe telelist-check.exe telelist-convert.exe telelist-query.exe telelist.dat README.md LICENSE; do
  grep -q "/$file\$" <<<"$listing" || { echo "FAIL: ${zips[0]##*/} lacks $file" >&2; exit 1; }
done
echo "${zips[0]##*/}: $(wc -c <"${zips[0]}" | tr -d '[:blank:]') bytes, $(wc -l <<<"$listing" | tr -d '[:blank:]') files"
