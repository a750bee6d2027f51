# Thin wrappers over the CMake presets; see README.md.
.PHONY: run test asan

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
