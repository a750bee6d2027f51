# Thin wrappers over the CMake presets and the scripts; see README.md.
.PHONY: all run package check-install test asan valgrind coverage fuzz bench format format-check tidy wine-test

# The preset of the test build: `ci` (any compiler warning is an error) when
# CI=true, as CI services and .ci/run set it; `debug` otherwise.
PRESET ?= $(if $(filter true,$(CI)),ci,debug)
SOURCES = $(shell git ls-files '*.cpp' '*.h')
SECONDS ?= 60
VALGRIND = valgrind -q --leak-check=full --errors-for-leak-kinds=definite,indirect,possible --error-exitcode=99

# The optimised program, build/release/directory/teledir. Needs only a
# C++17 compiler, CMake and make.
all:
	cmake --preset release
	cmake --build --preset release

# Build, then run the program on the sample directory in sample/.
run: all
	cd sample && ../build/release/directory/teledir

# The Debian package and the tarball, in build/release.
package: all
	cd build/release && cpack -G "DEB;TGZ"

# Install into a scratch prefix and check what a user gets (after `make package`).
check-install:
	scripts/check-install.sh

# Build and run every test.
test:
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)
	ctest --preset $(PRESET)

# Every test again under AddressSanitizer and UndefinedBehaviorSanitizer.
asan:
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# The black-box suite with every run of the program under valgrind memcheck
# (after `make test`).
valgrind:
	TELEDIR_TEST_WRAPPER="$(VALGRIND)" build/$(PRESET)/tests/directory/directory_blackbox_test

# The Windows cross-build, and every test that can run on Windows, under wine.
wine-test:
	PRESET=$(PRESET) scripts/wine-test.sh

# Line and branch coverage of the product code from the whole suite.
coverage:
	scripts/coverage.sh 95 85

# Each fuzz target for SECONDS seconds (make fuzz SECONDS=1800).
fuzz:
	fuzz/run.sh $(SECONDS)

# apstring against std::string (in the release build, then from a caller
# built with plain g++ -O2), and whole-process figures of the program.
bench:
	cmake --preset release
	cmake --build --preset release --target apstring_bench teledir
	build/release/bench/apstring_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	g++ -O2 -std=c++17 -Iap bench/plain_caller.cpp ap/apstring.cpp -o build/release/bench/plain_caller
	build/release/bench/plain_caller
	bench/program_bench.sh build/release/directory/teledir

format:
	clang-format -i $(SOURCES)

format-check:
	clang-format --dry-run --Werror $(SOURCES)

# clang-tidy on the program and library sources (after `make test`).
tidy:
	clang-tidy -p build/$(PRESET) --quiet $(filter ap/% datafile/% directory/% check/%,$(filter %.cpp,$(SOURCES)))
