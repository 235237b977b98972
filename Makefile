# make demo: set up if needed, build QUAVIX.dll and the host tool, render the demo.
# make test: set up if needed, build every configuration, run every test.
SHELL := /bin/sh
JOBS ?= $(shell nproc)
WIN32_DIR := build/win32
WINE_ENV := . cmake/wine-env.sh
# Windows programs with windows need a display: one Xvfb and one wineserver per run.
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24"

.PHONY: all setup native native-tsan native-bench win32 demo test bench clean

all: demo

setup:
	@./cmake/setup.sh

native: setup
	@cmake --no-warn-unused-cli -S . -B build/native -DQUAVIX_SANITIZE=address >/dev/null
	@cmake --build build/native -j $(JOBS)

native-tsan: setup
	@cmake --no-warn-unused-cli -S . -B build/native-tsan -DQUAVIX_SANITIZE=thread >/dev/null
	@cmake --build build/native-tsan -j $(JOBS)

native-bench: setup
	@cmake --no-warn-unused-cli -S . -B build/native-bench -DQUAVIX_SANITIZE=none >/dev/null
	@cmake --build build/native-bench -j $(JOBS)

win32: setup
	@cmake --no-warn-unused-cli -S . -B $(WIN32_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DQUAVIX_DIST_DIR=$(CURDIR)/dist/win32 >/dev/null
	@cmake --build $(WIN32_DIR) -j $(JOBS)

demo: win32
	@$(XVFB) ./cmake/run-demo.sh

test: native native-tsan native-bench win32
	@echo "== native unit tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
	@cd build/native && ctest --output-on-failure
	@echo "== native thread tests (ThreadSanitizer)"
	@cd build/native-tsan && ctest --output-on-failure
	@echo "== QUAVIX.dll exports and imports"
	@./cmake/check-dll.sh dist/win32/QUAVIX.dll
	@echo "== Windows tests under Wine"
	@$(XVFB) ./cmake/run-win32-tests.sh $(WIN32_DIR)
	@$(MAKE) --no-print-directory bench

bench: native-bench win32
	@echo "== benchmark: native"
	@./build/native-bench/quavix_bench
	@echo "== benchmark: QUAVIX.dll under Wine"
	@$(WINE_ENV) && wine $(WIN32_DIR)/quavix_bench.exe dist/win32/QUAVIX.dll

clean:
	rm -rf build dist
