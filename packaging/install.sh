#!/bin/sh
# make install and make uninstall: puts the Linux build's files where Linux
# hosts look for them, or takes them away again. What goes where is the
# build's install list (packaging/Install.cmake); this script only runs
# `cmake --install` over it, and removes what its manifest says it put.
#
#   packaging/install.sh install|uninstall [--user]
#
# System-wide under $DESTDIR$PREFIX (PREFIX /usr/local by default), as
# packagers expect; with --user in the folders hosts search in the home.
set -eu
cd "$(dirname "$0")/.."
action=${1:-}
scope=${2:-system}
BUILD=${BUILD:-build/linux}
PREFIX=${PREFIX:-/usr/local}
DESTDIR=${DESTDIR:-}

case "$scope" in
--user)
    component=user
    prefix=$HOME
    DESTDIR=
    ;;
system)
    component=system
    prefix=$PREFIX
    ;;
*)
    echo "install: unknown scope '$scope' (only --user)" >&2
    exit 2
    ;;
esac
export DESTDIR
root=$DESTDIR$prefix
# What cmake --install put, relative to the root it put it under, so that an
# uninstall with the same PREFIX and DESTDIR finds it whatever ran between.
installed=$BUILD/installed-$component.txt

# Runs cmake --install for the scope, under DESTDIR $1, and writes what its
# manifest records, relative to the prefix, to $installed.
install_recorded() {
    if [ ! -f "$BUILD/cmake_install.cmake" ]; then
        echo "$action: $BUILD is not configured; build it first (make install builds it; make uninstall reads its install list)" >&2
        exit 1
    fi
    manifest=$BUILD/install_manifest_$component.txt
    rm -f "$manifest"
    DESTDIR=$1 cmake --install "$BUILD" --component "$component" --prefix "$prefix" >/dev/null
    if [ ! -s "$manifest" ]; then
        echo "$action: $BUILD installs nothing (see the warning its configuration gave)" >&2
        exit 1
    fi
    # The manifest names each file under the prefix, without DESTDIR.
    awk -v prefix="${prefix%/}/" 'index($0, prefix) == 1 { print substr($0, length(prefix) + 1) }' "$manifest" >"$installed"
}

case "$action" in
install)
    install_recorded "$DESTDIR"
    sed "s|^|install: $root/|" "$installed"
    ;;
uninstall)
    # Without a record of an install (a build folder made afresh), the list
    # comes from an install into a scratch folder.
    if [ ! -f "$installed" ]; then
        scratch=$(mktemp -d)
        install_recorded "$scratch"
        rm -rf "$scratch"
    fi
    while read -r file; do
        if [ -e "$root/$file" ]; then
            rm -f "$root/$file"
            echo "uninstall: removed $root/$file"
        fi
    done <"$installed"
    # The bundle's folder is ours; the hosts' folders around it are not.
    bundle=$root/$(grep -m 1 '/quavix\.lv2/' "$installed" | sed 's|/[^/]*$||')
    if [ -d "$bundle" ]; then
        rmdir "$bundle" 2>/dev/null || echo "uninstall: left $bundle: it holds files Quavix did not put there" >&2
    fi
    ;;
*)
    echo "usage: $0 install|uninstall [--user]" >&2
    exit 2
    ;;
esac
