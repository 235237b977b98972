#!/bin/sh
# Installs everything the build and the tests need (with the argument demo,
# only what make demo needs), then prepares a quiet 64-bit Wine prefix, which
# runs the 32-bit programs too. Safe to run again: each step checks before it
# acts.
set -eu

# What the demo needs: the compilers, Wine and a display for the Windows
# builds, and the libraries the plug-in and the host tool link.
DEMO_PACKAGES="cmake make g++ g++-mingw-w64-i686 binutils-mingw-w64-i686 \
g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine32:i386 wine64 \
xvfb xauth fonts-liberation googletest libstb-dev pkg-config libcairo2-dev sox \
libx11-dev libxres-dev libxtst-dev"
# And what only the tests and benchmarks need: input tools, pictures, the
# VST effects Debian ships, to measure and validate Quavix beside them, and
# the LV2 headers, lilv and its tools, and lv2_validate's checker, and clang
# with libFuzzer's runtime for the fuzz targets.
TEST_PACKAGES="x11-utils xdotool libgtest-dev python3-pil imagemagick \
lsp-plugins-vst dpf-plugins-vst zam-plugins zynaddsubfx-vst \
lv2-dev liblilv-dev lilv-utils sordi clang libclang-rt-14-dev"
case "${1:-all}" in
demo) PACKAGES=$DEMO_PACKAGES ;;
*) PACKAGES="$DEMO_PACKAGES $TEST_PACKAGES" ;;
esac

sudo_() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "setup: installing$missing"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        sudo_ dpkg --add-architecture i386
    fi
    sudo_ apt-get update -qq
    sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

. "$(dirname "$0")/wine-env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "setup: creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # Without a window manager, destroying a managed top-level window stalls.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
fi
echo "setup: ready"
