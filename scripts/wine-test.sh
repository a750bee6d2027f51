#!/usr/bin/env bash
# The Windows cross-build, tested under wine: the unit tests built for
# Windows, the black-box suite (the Linux build of its harness) on the real
# .exe and the recording build, and one console test on a pseudo-terminal.
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
cmake --preset debug >/dev/null
cmake --build --preset debug --target directory_blackbox_test terminal_tests

# One wine server for the whole run, started apart from the tests: wine's
# background services keep open whatever output they inherit, and a test
# waiting for the end of a program's output would wait for them.
mkdir -p "$WINEPREFIX"
"$wineserver" -p </dev/null >/dev/null 2>&1
trap '"$wineserver" -k 2>/dev/null || true' EXIT
"$wine" wineboot -i </dev/null >/dev/null 2>&1

TELEDIR_TEST_WINE=$wine TELEDIR_TEST_WINDOWS_PROGRAM=$windows/directory/teledir.exe \
  build/debug/tests/terminal/terminal_tests --gtest_filter='*Wine*' --gtest_brief=1
ctest --preset windows
TELEDIR_TEST_WRAPPER=$wine \
  TELEDIR_TEST_PROGRAM=$windows/directory/teledir.exe \
  TELEDIR_TEST_RECORDING_PROGRAM=$windows/tests/directory/teledir_recording.exe \
  TELEDIR_TEST_CRLF=1 \
  build/debug/tests/directory/directory_blackbox_test --gtest_brief=1
