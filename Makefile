# Thin wrappers over the CMake presets and the scripts; see README.md.
.PHONY: run test asan valgrind coverage fuzz bench format format-check tidy wine-test

SOURCES = $(shell git ls-files '*.cpp' '*.h')
SECONDS ?= 60
VALGRIND = valgrind -q --leak-check=full --errors-for-leak-kinds=definite,indirect,possible --error-exitcode=99

# Build, then run the program on the sample directory in sample/.
run:
	cmake --preset release
	cmake --build --preset release --target teledir
	cd sample && ../build/release/directory/teledir

# Build and run every test.
test:
	cmake --preset debug
	cmake --build --preset debug
	ctest --preset debug

# Every test again under AddressSanitizer and UndefinedBehaviorSanitizer.
asan:
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# The black-box suite with every run of the program under valgrind memcheck
# (after `make test`).
valgrind:
	TELEDIR_TEST_WRAPPER="$(VALGRIND)" build/debug/tests/directory/directory_blackbox_test

# The Windows cross-build, and every test that can run on Windows, under wine.
wine-test:
	scripts/wine-test.sh

# Line and branch coverage of ap/ and directory/ from the whole suite.
coverage:
	scripts/coverage.sh 95 85

# Each fuzz target for SECONDS seconds (make fuzz SECONDS=1800).
fuzz:
	fuzz/run.sh $(SECONDS)

# apstring against std::string, and whole-process figures of the program.
bench:
	cmake --preset release
	cmake --build --preset release --target apstring_bench teledir
	build/release/bench/apstring_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	bench/program_bench.sh build/release/directory/teledir

format:
	clang-format -i $(SOURCES)

format-check:
	clang-format --dry-run --Werror $(SOURCES)

# clang-tidy on the program and library sources (after `make test`).
tidy:
	clang-tidy -p build/debug --quiet $(filter ap/% directory/%,$(filter %.cpp,$(SOURCES)))
