#!/bin/sh
# Installs everything the build and the tests need (with the argument linux,
# demo or package, only what that job needs), then prepares a quiet 64-bit
# Wine prefix, which runs the 32-bit programs too. Safe to run again: each
# step checks before it acts.
set -eu

# What the Linux build needs: quavix.so, the LV2 bundle, the host tool and
# its manual page.
LINUX_PACKAGES="cmake make g++ pkg-config googletest libstb-dev libcairo2-dev \
libx11-dev libxres-dev libxtst-dev lv2-dev liblilv-dev"
# What the demo needs besides: the compilers, Wine and a display for the
# Windows builds, and sox for the spectrogram.
DEMO_PACKAGES="$LINUX_PACKAGES g++-mingw-w64-i686 binutils-mingw-w64-i686 \
g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine32:i386 wine64 \
xvfb xauth fonts-liberation sox"
# What make package needs besides: Debian's packaging tools and checker, and
# the Windows installer's compiler, and zip for the Windows archive.
PACKAGE_PACKAGES="$DEMO_PACKAGES dpkg-dev lintian nsis zip"
# And what only the tests and benchmarks need: input tools, pictures, the
# VST effects Debian ships, to measure and validate Quavix beside them,
# lilv and its tools, lv2_validate's checker, and clang with libFuzzer's
# runtime for the fuzz targets.
TEST_PACKAGES="$PACKAGE_PACKAGES x11-utils xdotool libgtest-dev python3-pil imagemagick \
lsp-plugins-vst dpf-plugins-vst zam-plugins zynaddsubfx-vst \
liblilv-dev lilv-utils sordi clang libclang-rt-14-dev"
case "${1:-all}" in
linux) PACKAGES=$LINUX_PACKAGES ;;
demo) PACKAGES=$DEMO_PACKAGES ;;
package) PACKAGES=$PACKAGE_PACKAGES ;;
*) PACKAGES=$TEST_PACKAGES ;;
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

# The Linux build alone runs no Windows program.
if [ "${1:-all}" = linux ]; then
    echo "setup: ready"
    exit 0
fi
. "$(dirname "$0")/../lib/wine-env.sh"
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
