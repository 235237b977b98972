#!/bin/sh
# make package: from the three builds' plug-ins and host tools, the Debian
# package, the Windows installer, an archive for each system and their
# checksums. Everything is made under build/package and moved into
# dist/packages only when all of it is there.
set -eu
cd "$(dirname "$0")/.."
umask 022
version=$(cat VERSION)
work=build/package
out=$work/out
# Dated by the last commit, so one commit always packs the same bytes (or
# by the date the caller gives, as reproducible builds do).
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}
export SOURCE_DATE_EPOCH

rm -rf "$work"
mkdir -p "$out"
step() { echo "package: $*"; }
fail() { echo "package: failed: $*" >&2; exit 1; }

# Every build's files come from its install list; a build that is missing
# or unfinished stops the packaging here, not halfway.
for build in linux win32 win64; do
    [ -f "build/$build/cmake_install.cmake" ] || fail "build/$build is not configured; make package builds it"
done
install_from() {
    cmake --install "build/$1" --component "$2" --prefix "$3" >"$work/install-$1.log" 2>&1 ||
        fail "the install list of build/$1 names a file the build has not made (see $work/install-$1.log)"
}

# Debug sections and symbol tables go; what hosts and the loader need stays.
strip_linux() { strip --strip-unneeded --remove-section=.comment --remove-section=.note "$@"; }
strip_windows() { "$1-w64-mingw32-strip" --strip-unneeded "$2"; }
# The ELF files under a folder, whichever the install list put there: what is
# stripped, and what dpkg-shlibdeps reads.
binaries_in() {
    find "$1" -type f | sort | while read -r file; do
        if [ "$(head -c 4 "$file" | tail -c 3)" = ELF ]; then echo "$file"; fi
    done
}

debian_package() {
    root=$work/deb
    DESTDIR=$root PREFIX=/usr ./packaging/install.sh install >/dev/null || fail "the install into $root failed"
    binaries=$(binaries_in "$root/usr")
    strip_linux $binaries
    gzip -9n "$root/usr/share/man/man1/quavix-host.1"
    doc=$root/usr/share/doc/quavix
    install -d "$doc"
    install -m 0644 packaging/debian/copyright "$doc/copyright"
    gzip -9n <packaging/debian/changelog >"$doc/changelog.gz"
    chmod 0644 "$doc/changelog.gz"
    # dpkg-shlibdeps reads the libraries the binaries need from a source
    # tree's debian/control; a one-package stand-in does.
    mkdir -p "$work/shlibs/debian"
    printf 'Source: quavix\n\nPackage: quavix\nArchitecture: amd64\n' >"$work/shlibs/debian/control"
    depends=$(cd "$work/shlibs" && dpkg-shlibdeps -O $(for binary in $binaries; do echo "-e../deb/${binary#"$root"/}"; done) \
        2>/dev/null | sed -n 's/^shlibs:Depends=//p')
    [ -n "$depends" ] || fail "dpkg-shlibdeps named no dependency"
    # The editors load Xlib and cairo only when they open, out of
    # dpkg-shlibdeps' sight: named here unless the host tool's links did.
    for library in libx11-6 libcairo2; do
        echo "$depends" | grep -q "$library" || depends="$depends, $library"
    done
    install -d "$root/DEBIAN"
    size=$(du -sk --apparent-size "$root/usr" | cut -f1)
    sed -e "s/@VERSION@/$version/" -e "s/@INSTALLED_SIZE@/$size/" -e "s/@DEPENDS@/$depends/" \
        packaging/debian/control.in >"$root/DEBIAN/control"
    (cd "$root" && find usr -type f | sort | xargs md5sum) >"$root/DEBIAN/md5sums"
    chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
    find "$root" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
    dpkg-deb --root-owner-group -Zxz --build "$root" "$out/quavix_${version}_amd64.deb" >/dev/null
}

# The archives lay the same install list out flat (its archive component).
linux_archive() {
    name=quavix-$version-linux-x86_64
    tree=$work/$name
    install_from linux archive "$tree"
    strip_linux $(binaries_in "$tree")
    tar -C "$work" --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$SOURCE_DATE_EPOCH" -cf - "$name" |
        gzip -9n >"$out/$name.tar.gz"
}

windows_tree() {
    tree=$work/quavix-$version-windows
    for arch in win32 win64; do
        triple=i686
        [ $arch = win64 ] && triple=x86_64
        install_from $arch archive "$tree"
        # Only the binaries go in an architecture's folder.
        for binary in "$tree/$arch"/*; do
            strip_windows $triple "$binary"
        done
    done
}

windows_archive() {
    name=quavix-$version-windows
    find "$work/$name" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
    (cd "$work" && find "$name" -type f | sort | zip -q -X -9 -@ "out/$name.zip")
}

windows_installer() {
    makensis -V2 -DVERSION="$version" -DSTAGE="$(pwd)/$work/quavix-$version-windows" \
        -DOUTFILE="$(pwd)/$out/quavix-$version-windows-setup.exe" packaging/windows/quavix.nsi >"$work/makensis.log" ||
        fail "makensis: see $work/makensis.log"
}

step "quavix_${version}_amd64.deb"
debian_package
step "quavix-$version-linux-x86_64.tar.gz"
linux_archive
step "quavix-$version-windows.zip"
windows_tree
windows_archive
step "quavix-$version-windows-setup.exe"
windows_installer
(cd "$out" && sha256sum -- *.deb *.tar.gz *.zip *.exe >SHA256SUMS)

rm -rf dist/packages
mv "$out" dist/packages
echo "package: in dist/packages:"
(cd dist/packages && for f in *; do
    printf '  %-44s %9d bytes  %s\n' "$f" "$(stat -c %s "$f")" "$(sha256sum "$f" | cut -c1-16)"
done)
