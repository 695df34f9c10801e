# Entry points for people and CI. `make demo` shows the wrapper at work;
# `make` builds it; `make test` installs what is missing, builds both trees
# and runs every test.
WIN32_DIR  := build/win32
NATIVE_DIR := build/native

.PHONY: all deps win32 native demo test bench fuzz clean

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

# The demo install under Wine: played with a display, a scripted tour without.
demo: win32
	@scripts/run-demo $(WIN32_DIR)

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
