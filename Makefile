# make demo: set up if needed, build every plug-in and host tool, render the demo.
# make test: set up if needed, build every configuration, run every test.
# make bench: the benchmarks of every build, and Quavix beside Debian's VST effects.
# make validate-peers: the validator over Debian's VST and LV2 effects.
# make install / make uninstall: the Linux plug-ins, host tool and manual
#   under $(DESTDIR)$(PREFIX); make install-user / uninstall-user: in ~/.vst,
#   ~/.lv2 and ~/.local.
# make package: the .deb, the Windows installer and the archives in dist/packages.
SHELL := /bin/sh
JOBS ?= $(shell nproc)
# Windows programs with windows need a display: one Xvfb and one Wine server per run.
# -noreset: a program that connects just as the previous one hung up would
# otherwise find the server restarting.
XVFB := xvfb-run -a -s "-screen 0 2048x1536x24 -noreset"
CONFIGURE := cmake --no-warn-unused-cli -S . -Wno-dev
WINDOWS_ARCHS := win32 win64
# Where make install puts the Linux files, as packagers expect.
export PREFIX ?= /usr/local
export DESTDIR ?=
# How hard make test validates each build's plug-in (1 quick .. 10 long).
STRICTNESS ?= 5

.PHONY: all setup demo-setup linux-setup package-setup native native-tsan linux linux-tools $(WINDOWS_ARCHS) \
	win32-tools win64-tools builds demo test bench validate-peers install uninstall install-user uninstall-user \
	package clean

all: demo

setup:
	@./scripts/setup/machine.sh
demo-setup:
	@./scripts/setup/machine.sh demo
linux-setup:
	@./scripts/setup/machine.sh linux
package-setup:
	@./scripts/setup/machine.sh package

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
LINUX_CONFIGURE = $(CONFIGURE) -B build/linux -DQUAVIX_SANITIZE=none -DQUAVIX_DIST_DIR=$(CURDIR)/dist/linux-x86_64 >/dev/null
linux: setup
	@$(LINUX_CONFIGURE)
	@cmake --build build/linux -j $(JOBS)
# What Linux users get, without the tests: quavix.so, the LV2 bundle, the
# host tool and its manual page.
linux-tools: linux-setup
	@$(LINUX_CONFIGURE)
	@cmake --build build/linux -j $(JOBS) --target quavix quavix_clap quavix_lv2_bundle quavix-host quavix_manual

# The same sources for either Windows architecture: only the toolchain differs.
win32: TRIPLE := i686
win64: TRIPLE := x86_64
# A build folder configured with a toolchain file that has since moved keeps
# reading the old one, which no longer exists: such a folder starts afresh.
WINDOWS_CONFIGURE = toolchain=$$(sed -n 's/^include("\(.*\)")$$/\1/p' build/$(ARCH)/CMakeFiles/*/CMakeSystem.cmake 2>/dev/null); \
	if [ -n "$$toolchain" ] && [ ! -f "$$toolchain" ]; then rm -rf build/$(ARCH)/CMakeCache.txt build/$(ARCH)/CMakeFiles; fi; \
	$(CONFIGURE) -B build/$(ARCH) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-$(TRIPLE).cmake \
	-DQUAVIX_DIST_DIR=$(CURDIR)/dist/$(ARCH) >/dev/null
$(WINDOWS_ARCHS): ARCH = $@
$(WINDOWS_ARCHS): setup
	@$(WINDOWS_CONFIGURE)
	@cmake --build build/$@ -j $(JOBS)
# The plug-in and the host tool alone, for the demo.
win32-tools: TRIPLE := i686
win64-tools: TRIPLE := x86_64
win32-tools win64-tools: ARCH = $(@:-tools=)
win32-tools win64-tools: demo-setup
	@$(WINDOWS_CONFIGURE)
	@cmake --build build/$(ARCH) -j $(JOBS) --target QUAVIX QuavixClap quavix-host

builds: native native-tsan linux $(WINDOWS_ARCHS)

# A newcomer's first command: only the plug-ins and the host tools are
# built, one line per step; the whole output of each is in build/logs/.
DEMO_STEP := ./scripts/run/step.sh
demo: demo-setup
	@$(DEMO_STEP) "demo [1/5] building quavix.so, quavix.clap, quavix.lv2 and quavix-host for Linux" demo-build-linux \
		$(MAKE) --no-print-directory linux-tools
	@$(DEMO_STEP) "demo [2/5] building QUAVIX.dll, Quavix.clap and quavix-host.exe for 32-bit Windows" demo-build-win32 \
		$(MAKE) --no-print-directory win32-tools
	@$(DEMO_STEP) "demo [3/5] building QUAVIX.dll, Quavix.clap and quavix-host.exe for 64-bit Windows" demo-build-win64 \
		$(MAKE) --no-print-directory win64-tools
	@$(DEMO_STEP) "demo [4/5] rendering on Linux: the demo, the response, the spectrogram, the editor" demo-linux \
		./scripts/run/demo-linux.sh
	@$(DEMO_STEP) "demo [5/5] rendering under Wine: both Windows demos and the editor, compared to the byte" demo-windows \
		$(XVFB) ./scripts/run/demo-windows.sh
	@echo "demo: the Linux, win32 and win64 demos are identical to the byte; in dist:"
	@cd dist && find linux-x86_64 win32 win64 demo -type f | sort | xargs ls -l | awk '{ printf "  %-44s %9d bytes\n", $$9, $$5 }'

test: builds package-setup
	@./scripts/check/layers.sh
	@echo "== native unit tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
	@cd build/native && ctest --output-on-failure
	@echo "== native thread tests (ThreadSanitizer)"
	@cd build/native-tsan && ctest --output-on-failure
	@QUAVIX_STRICTNESS=$(STRICTNESS) ./scripts/run/system-tests.sh
	@./packaging/check-packages.sh
	@$(MAKE) --no-print-directory bench

bench: linux $(WINDOWS_ARCHS)
	@./scripts/setup/bench.sh
	@$(XVFB) ./scripts/run/bench.sh

# What the validator finds in Debian's VST and LV2 effects (never fails for their faults).
validate-peers: linux
	@./scripts/setup/bench.sh
	@./scripts/run/validate-peers.sh

# Installing builds what it installs, and nothing else.
install: linux-tools
	@./packaging/install.sh install
uninstall:
	@./packaging/install.sh uninstall
install-user: linux-tools
	@./packaging/install.sh install --user
uninstall-user:
	@./packaging/install.sh uninstall --user

# Every package from the three builds' plug-ins and host tools; not part of
# make demo.
package: package-setup linux-tools win32-tools win64-tools
	@./packaging/package.sh

# Coverage-guided fuzzing of every input boundary, with clang and libFuzzer
# in a build of its own: each target for FUZZ_SECONDS seconds from its seeds
# in tests/fuzz/corpus; make test replays that corpus in the native build.
FUZZ_SECONDS ?= 60
.PHONY: fuzz fuzz-build
fuzz-build: setup
	@$(CONFIGURE) -B build/fuzz -DQUAVIX_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build build/fuzz -j $(JOBS)
fuzz: fuzz-build
	@FUZZ_SECONDS=$(FUZZ_SECONDS) ./scripts/run/fuzz.sh

clean:
	rm -rf build dist
