# make demo: set up if needed, build every plug-in and host tool, render the demo.
# make test: set up if needed, build every configuration, run every test.
# make bench: the benchmarks of every build, and Quavix beside Debian's VST effects.
# make validate-peers: the validator over Debian's VST effects.
SHELL := /bin/sh
JOBS ?= $(shell nproc)
# Windows programs with windows need a display: one Xvfb and one Wine server per run.
# -noreset: a program that connects just as the previous one hung up would
# otherwise find the server restarting.
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24 -noreset"
CONFIGURE := cmake --no-warn-unused-cli -S . -Wno-dev
WINDOWS_ARCHS := win32 win64
# How hard make test validates each build's plug-in (1 quick .. 10 long).
STRICTNESS ?= 5

.PHONY: all setup native native-tsan linux $(WINDOWS_ARCHS) builds demo test bench validate-peers clean

all: demo

setup:
	@./cmake/setup.sh

# Headless core under AddressSanitizer and UndefinedBehaviorSanitizer.
native: setup
	@$(CONFIGURE) -B build/native -DQUAVIX_SANITIZE=address >/dev/null
	@cmake --build build/native -j $(JOBS)

# The thread tests under ThreadSanitizer.
native-tsan: setup
	@$(CONFIGURE) -B build/native-tsan -DQUAVIX_SANITIZE=thread >/dev/null
	@cmake --build build/native-tsan -j $(JOBS)

# What Linux users get: quavix.so and the host tool, plus the benchmark and
# the reference digest, optimised and without sanitizers.
linux: setup
	@$(CONFIGURE) -B build/linux -DQUAVIX_SANITIZE=none -DQUAVIX_DIST_DIR=$(CURDIR)/dist/linux-x86_64 >/dev/null
	@cmake --build build/linux -j $(JOBS)

# The same sources for either Windows architecture: only the toolchain differs.
win32: TRIPLE := i686
win64: TRIPLE := x86_64
$(WINDOWS_ARCHS): setup
	@$(CONFIGURE) -B build/$@ -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$(TRIPLE).cmake -DQUAVIX_DIST_DIR=$(CURDIR)/dist/$@ >/dev/null
	@cmake --build build/$@ -j $(JOBS)

builds: native native-tsan linux $(WINDOWS_ARCHS)

demo: linux $(WINDOWS_ARCHS)
	@./cmake/run-linux-demo.sh
	@$(XVFB) ./cmake/run-demo.sh

test: builds
	@./cmake/check-layers.sh
	@echo "== native unit tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
	@cd build/native && ctest --output-on-failure
	@echo "== native thread tests (ThreadSanitizer)"
	@cd build/native-tsan && ctest --output-on-failure
	@QUAVIX_STRICTNESS=$(STRICTNESS) $(XVFB) ./cmake/run-linux-tests.sh
	@echo "== QUAVIX.dll exports and imports"
	@./cmake/check-dll.sh dist/win32/QUAVIX.dll
	@./cmake/check-dll.sh dist/win64/QUAVIX.dll
	@QUAVIX_STRICTNESS=$(STRICTNESS) $(XVFB) ./cmake/run-windows-tests.sh build/win32 build/win64
	@$(MAKE) --no-print-directory bench

bench: linux $(WINDOWS_ARCHS)
	@$(XVFB) ./cmake/run-bench.sh

# What the validator finds in Debian's VST effects (never fails for their faults).
validate-peers: linux
	@./cmake/validate-peers.sh

clean:
	rm -rf build dist
