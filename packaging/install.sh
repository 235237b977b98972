#!/bin/sh
# Puts the Linux build's files where Linux hosts look for them, or takes
# them away again: the one list of what Quavix installs, which make install,
# make uninstall, the per-user install and the packages all read.
#
#   packaging/install.sh install|uninstall [--user]
#
# System-wide under $DESTDIR$PREFIX (PREFIX /usr/local by default), as
# packagers expect; with --user in the folders hosts search in the home.
set -eu
cd "$(dirname "$0")/.."
action=${1:-}
scope=${2:-system}
LINUX_DIST=${LINUX_DIST:-dist/linux-x86_64}
MANUAL=${MANUAL:-build/linux/man/quavix-host.1}
PREFIX=${PREFIX:-/usr/local}
DESTDIR=${DESTDIR:-}

case "$scope" in
--user)
    vst_dir=$HOME/.vst
    clap_dir=$HOME/.clap
    lv2_dir=$HOME/.lv2
    bin_dir=$HOME/.local/bin
    man_dir=$HOME/.local/share/man/man1
    ;;
system)
    root=$DESTDIR$PREFIX
    vst_dir=$root/lib/vst
    clap_dir=$root/lib/clap
    lv2_dir=$root/lib/lv2
    bin_dir=$root/bin
    man_dir=$root/share/man/man1
    ;;
*)
    echo "install: unknown scope '$scope' (only --user)" >&2
    exit 2
    ;;
esac
bundle=quavix.lv2
bundle_files="manifest.ttl quavix.ttl quavix_dsp.so quavix_ui.so"

# Each row: source, destination folder, mode.
files() {
    echo "$LINUX_DIST/quavix.so $vst_dir 0644"
    echo "$LINUX_DIST/quavix.clap $clap_dir 0644"
    for f in $bundle_files; do
        echo "$LINUX_DIST/$bundle/$f $lv2_dir/$bundle 0644"
    done
    echo "$LINUX_DIST/quavix-host $bin_dir 0755"
    echo "$MANUAL $man_dir 0644"
}

case "$action" in
install)
    # Every source first: a half-built tree installs nothing.
    files | while read -r source folder mode; do
        if [ ! -f "$source" ]; then
            echo "install: $source is missing; build it first (make install builds it)" >&2
            exit 1
        fi
    done
    files | while read -r source folder mode; do
        install -d "$folder"
        install -m "$mode" "$source" "$folder/"
        echo "install: $folder/$(basename "$source")"
    done
    ;;
uninstall)
    files | while read -r source folder mode; do
        target=$folder/$(basename "$source")
        if [ -e "$target" ]; then
            rm -f "$target"
            echo "uninstall: removed $target"
        fi
    done
    # The bundle's folder is ours; the hosts' folders around it are not.
    if [ -d "$lv2_dir/$bundle" ]; then
        rmdir "$lv2_dir/$bundle" 2>/dev/null || echo "uninstall: left $lv2_dir/$bundle: it holds files Quavix did not put there" >&2
    fi
    ;;
*)
    echo "usage: $0 install|uninstall [--user]" >&2
    exit 2
    ;;
esac
