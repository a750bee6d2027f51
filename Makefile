# Thin wrappers over the CMake presets and the scripts; see README.md.
.PHONY: all run package check-install test asan libcxx sanitizers valgrind valgrind-shard-0 valgrind-shard-1 coverage fuzz bench convert-bench format format-check tidy wine-test tables

# The preset of the test build: `ci` (any compiler warning is an error, and
# instrumented for gcov, so that `make coverage` reports on the same run)
# when CI=true, as CI services and .ci/run set it; `debug` otherwise.
PRESET ?= $(if $(filter true,$(CI)),ci,debug)
# The build `make coverage` reports on: the `ci` test build in CI, else a
# `coverage` build of its own.
COVERAGE_PRESET ?= $(if $(filter true,$(CI)),ci,coverage)
SOURCES = $(shell git ls-files '*.cpp' '*.h')
SECONDS ?= 60
VALGRIND = valgrind -q --leak-check=full --errors-for-leak-kinds=definite,indirect,possible --error-exitcode=99
# Left out under valgrind: the recording build, which runs the same dialogues
# through the same code as the real program, the two long sessions, which
# repeat it at length, and telelist-check over every fuzzing input, which the
# fuzz target runs in-process; the sanitizers run them all. Every other run of
# the real programs (teledir, telelist-check) is under valgrind.
VALGRIND_LEFT_OUT = *ConsoleCommandOrder* Scratch.LongSessionRunsInSmallStack Scratch.LongestFieldAndTenMegabyteReplies \
  Scratch.CheckReportIsPrintableUtf8
BLACKBOX = build/$(PRESET)/tests/directory/directory_blackbox_test

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

# Build and run every test. The counts a gcov-instrumented build kept from
# an earlier run are cleared first, so they come from this run alone.
test:
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)
	find build/$(PRESET) -name '*.gcda' -delete
	ctest --preset $(PRESET)

# Every test again under AddressSanitizer and UndefinedBehaviorSanitizer.
asan:
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# Every test again built with clang and libc++, the standard library of
# macOS and FreeBSD (GoogleTest built from Debian's source package with it).
libcxx:
	cmake --preset libcxx
	cmake --build --preset libcxx
	ctest --preset libcxx

# Every test again built with clang and libc++ and run under AddressSanitizer
# and UndefinedBehaviorSanitizer, any compiler warning an error: the two
# builds above in one, as CI runs them.
sanitizers:
	cmake --preset sanitizers
	cmake --build --preset sanitizers
	ctest --preset sanitizers

# The black-box suite with the runs of the programs under valgrind memcheck
# (after `make test`), in two halves side by side, each half's output whole.
# A name left out that matches no test fails, so that a renamed long session
# cannot slip back in unnoticed.
valgrind:
	@test -x $(BLACKBOX) || { echo "make valgrind: no $(BLACKBOX); run make test first" >&2; exit 1; }
	@set -f; for name in $(VALGRIND_LEFT_OUT); do \
	  $(BLACKBOX) --gtest_list_tests --gtest_filter="$$name" | grep -q '^  ' || \
	    { echo "make valgrind: no test matches $$name in VALGRIND_LEFT_OUT" >&2; exit 1; }; \
	done
	$(MAKE) --no-print-directory -j2 --output-sync=target valgrind-shard-0 valgrind-shard-1

valgrind-shard-0 valgrind-shard-1: valgrind-shard-%:
	TELEDIR_TEST_WRAPPER="$(VALGRIND)" TELEDIR_TEST_TIMEOUT=120 GTEST_TOTAL_SHARDS=2 GTEST_SHARD_INDEX=$* \
	  $(BLACKBOX) --gtest_filter='-$(subst $() ,:,$(VALGRIND_LEFT_OUT))' --gtest_brief=1

# The Windows cross-build, and every test that can run on Windows, under wine.
wine-test:
	PRESET=$(PRESET) scripts/wine-test.sh

# Line and branch coverage of the product code from the whole suite. In CI
# it reports the counts of the `make test` run just before (the `ci` build
# is instrumented too); elsewhere it builds and runs the `coverage` preset.
coverage:
	PRESET=$(COVERAGE_PRESET) scripts/coverage.sh 95 85

# Each fuzz target for SECONDS seconds (make fuzz SECONDS=1800).
fuzz:
	fuzz/run.sh $(SECONDS)

# apstring against std::string (in the release build, then from a caller
# built with plain g++ -O2), whole-process figures of the program, and
# telelist-query against grep.
bench:
	cmake --preset release
	cmake --build --preset release --target apstring_bench teledir telelist-query
	build/release/bench/apstring_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	g++ -O2 -std=c++17 -Iap bench/plain_caller.cpp ap/apstring.cpp -o build/release/bench/plain_caller
	build/release/bench/plain_caller
	bench/program_bench.sh build/release/directory/teledir
	bench/query_bench.sh build/release/query/telelist-query

# telelist-convert's import of large and hostile address books: peak
# memory, time and report size (builds the release program itself).
convert-bench:
	bench/convert_bench.sh

# The generated Unicode tables made again from the installed Unicode data
# (Debian's unicode-data, or UNICODE_DATA_DIR), each written only once its
# generator has made it whole. Their first line names the Unicode version.
UNICODE_DATA_DIR ?= /usr/share/unicode
tables:
	@set -e; for table in query/name_folding_table.h:name-folding datafile/hidden_characters.h:hidden-characters; do \
	  file=$${table%%:*}; \
	  python3 scripts/generate-$${table#*:}.py $(UNICODE_DATA_DIR) > $$file.new || { rm -f $$file.new; exit 1; }; \
	  mv $$file.new $$file; echo "$$file: $$(sed -n 1p $$file)"; \
	done

format:
	clang-format -i $(SOURCES)

format-check:
	clang-format --dry-run --Werror $(SOURCES)

# clang-tidy on the program and library sources (after `make test`), two
# side by side; any finding fails (see .clang-tidy). A file is analysed
# again only when what clang-tidy reads of it has changed (scripts/tidy.sh).
# The Windows-only files, which need <windows.h>, are left to the Windows build.
tidy:
	scripts/tidy.sh build/$(PRESET) $(filter-out %_windows.cpp,$(filter ap/% datafile/% phone/% cli/% directory/% check/% convert/% query/%,$(filter %.cpp,$(SOURCES))))
