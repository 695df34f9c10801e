# Entry points for people and CI. `make` builds the wrapper; `make test`
# installs what is missing, builds both trees and runs every test.
WIN32_DIR  := build/win32
NATIVE_DIR := build/native

.PHONY: all deps win32 native test bench fuzz clean

all: win32

deps:
	@scripts/bootstrap

win32: deps
	@cmake -S . -B $(WIN32_DIR) -G Ninja -Wno-dev --no-warn-unused-cli \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN32_DIR)

native: deps
	@cmake -S . -B $(NATIVE_DIR) -G Ninja -Wno-dev --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(NATIVE_DIR)

test: win32 native
	@scripts/run-tests $(WIN32_DIR) $(NATIVE_DIR)

# Release figures under Wine, each beside its baseline; never part of the tests.
bench: win32
	@cmake --build $(WIN32_DIR) --target benchmarks
	@scripts/run-bench $(WIN32_DIR)

# Fuzzes every target for FUZZ_SECONDS each (default 60); fails on any finding.
fuzz: deps
	@scripts/run-fuzz build/fuzz

clean:
	rm -rf build
