#!/bin/sh
# make test's check of what users install: makes every package, then checks
# the .deb's files and modes and lintian's verdict, an install into a
# scratch DESTDIR and back out, that every place states the one version,
# and the Windows installer under Wine (packaging/windows/check-installer.sh).
set -u
cd "$(dirname "$0")/.."
version=$(cat VERSION)
failures=0
fail() {
    echo "  FAIL $*"
    failures=$((failures + 1))
}

echo "== packages"
./packaging/package.sh || exit 1
deb=dist/packages/quavix_${version}_amd64.deb

echo "== the .deb's files, owners and modes"
# Each row: mode, path. Nothing more may be in the package, nothing less.
expected_deb() {
    cat <<EOT
-rwxr-xr-x ./usr/bin/quavix-host
-rw-r--r-- ./usr/lib/clap/quavix.clap
-rw-r--r-- ./usr/lib/lv2/quavix.lv2/manifest.ttl
-rw-r--r-- ./usr/lib/lv2/quavix.lv2/quavix.ttl
-rw-r--r-- ./usr/lib/lv2/quavix.lv2/quavix_dsp.so
-rw-r--r-- ./usr/lib/lv2/quavix.lv2/quavix_ui.so
-rw-r--r-- ./usr/lib/vst/quavix.so
-rw-r--r-- ./usr/share/doc/quavix/changelog.gz
-rw-r--r-- ./usr/share/doc/quavix/copyright
-rw-r--r-- ./usr/share/man/man1/quavix-host.1.gz
EOT
}
listing=$(dpkg-deb -c "$deb")
actual=$(echo "$listing" | awk '$1 !~ /^d/ { print $1, $6 }' | sort -k2)
[ "$actual" = "$(expected_deb)" ] || fail "the .deb holds:
$actual
instead of:
$(expected_deb)"
echo "$listing" | awk '$2 != "root/root" { print }' | grep -q . && fail "files not owned by root in the .deb"
echo "$listing" | awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { print }' | grep -q . && fail "a folder in the .deb is not 0755"
unpacked=$(mktemp -d)
dpkg-deb -x "$deb" "$unpacked"
for binary in usr/bin/quavix-host usr/lib/vst/quavix.so usr/lib/clap/quavix.clap usr/lib/lv2/quavix.lv2/quavix_dsp.so \
    usr/lib/lv2/quavix.lv2/quavix_ui.so; do
    readelf -S "$unpacked/$binary" | grep -q '\.symtab' && fail "$binary in the .deb is not stripped"
done
rm -rf "$unpacked"

echo "== lintian"
lintian_output=$(lintian --fail-on none "$deb" 2>/dev/null)
echo "${lintian_output:-(nothing to report)}" | sed 's/^/  /'
echo "$lintian_output" | grep -q '^E:' && fail "lintian reports errors"

echo "== make install into a scratch DESTDIR, and make uninstall"
scratch=$(mktemp -d)
expected_install() {
    cat <<EOT
755 usr/bin/quavix-host
644 usr/lib/clap/quavix.clap
644 usr/lib/lv2/quavix.lv2/manifest.ttl
644 usr/lib/lv2/quavix.lv2/quavix.ttl
644 usr/lib/lv2/quavix.lv2/quavix_dsp.so
644 usr/lib/lv2/quavix.lv2/quavix_ui.so
644 usr/lib/vst/quavix.so
644 usr/share/man/man1/quavix-host.1
EOT
}
make --no-print-directory -s install DESTDIR="$scratch" PREFIX=/usr >/dev/null || fail "make install failed"
installed=$(cd "$scratch" && find . -type f -printf '%m %P\n' | sort -k2)
[ "$installed" = "$(expected_install)" ] || fail "make install put:
$installed"
# The README names each installed file under $PREFIX (the bundle by its
# folder), and nothing else.
readme_paths=$(grep -o '`\$PREFIX/[^`]*`' README.md | tr -d '`' | sed 's|^\$PREFIX/||' | sort -u)
installed_paths=$(cd "$scratch/usr" && find . -type f | sed 's|^\./||; s|\(quavix\.lv2/\).*|\1|' | sort -u)
[ "$readme_paths" = "$installed_paths" ] || fail "the README's install section names:
$readme_paths
where make install puts:
$installed_paths"
make --no-print-directory -s uninstall DESTDIR="$scratch" PREFIX=/usr >/dev/null || fail "make uninstall failed"
left=$(cd "$scratch" && find . -type f)
[ -z "$left" ] || fail "make uninstall left: $left"
[ -d "$scratch/usr/lib/lv2/quavix.lv2" ] && fail "make uninstall left the bundle's folder"
rm -rf "$scratch"

echo "== make install-user into a scratch home, and make uninstall-user"
home=$(mktemp -d)
expected_user() {
    expected_install | sed 's# usr/lib/\(vst\|clap\|lv2\)/# .\1/#; s# usr/# .local/#'
}
HOME=$home make --no-print-directory -s install-user >/dev/null || fail "make install-user failed"
installed=$(cd "$home" && find . -type f -printf '%m %P\n' | sort -k2)
[ "$installed" = "$(expected_user | sort -k2)" ] || fail "make install-user put:
$installed"
HOME=$home make --no-print-directory -s uninstall-user >/dev/null || fail "make uninstall-user failed"
left=$(cd "$home" && find . -type f)
[ -z "$left" ] || fail "make uninstall-user left: $left"
rm -rf "$home"

echo "== one version, $version, everywhere"
# Each row: where, what it says.
ttl=dist/linux-x86_64/quavix.lv2/quavix.ttl
vst_version=$(dist/linux-x86_64/quavix-host --info dist/linux-x86_64/quavix.so | sed -n 's/^Vendor version *//p')
readme_vst_version=$(grep -o 'version is [0-9]* (major' README.md | grep -o '[0-9][0-9]*')
while IFS='|' read -r place said; do
    [ "$said" = "$version" ] || fail "$place says '$said', not $version"
done <<EOT
quavix-host --version|$(dist/linux-x86_64/quavix-host --version | sed 's/^quavix-host //')
the bundle's lv2:minorVersion and microVersion|${version%%.*}.$(sed -n 's/.*lv2:minorVersion \([0-9]*\).*/\1/p' $ttl).$(
    sed -n 's/.*lv2:microVersion \([0-9]*\).*/\1/p' $ttl)
the .deb's control file|$(dpkg-deb -f "$deb" Version)
the Debian changelog's last entry|$(head -n 1 packaging/debian/changelog | sed 's/^quavix (\([^)]*\)).*/\1/')
the VST vendor version $vst_version|$((vst_version / 1000)).$((vst_version / 100 % 10)).$((vst_version / 10 % 10))
the README's VST vendor version $readme_vst_version|$((readme_vst_version / 1000)).$((readme_vst_version / 100 % 10)).$((readme_vst_version / 10 % 10))
the manual page|$(sed -n 's/^\.TH .*"Quavix \([^"]*\)".*/\1/p' build/linux/man/quavix-host.1)
the README's install section|$(grep -o 'quavix_[0-9.]*_amd64\.deb' README.md | head -n 1 | sed 's/quavix_\(.*\)_amd64.deb/\1/')
EOT
for file in "quavix-$version-windows-setup.exe" "quavix-$version-windows.zip" "quavix-$version-linux-x86_64.tar.gz"; do
    [ -f "dist/packages/$file" ] || fail "no dist/packages/$file"
done
(cd dist/packages && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the packages"

./packaging/windows/check-installer.sh "dist/packages/quavix-$version-windows-setup.exe" || failures=$((failures + 1))

if [ $failures -gt 0 ]; then
    echo "check-packages: $failures failures" >&2
    exit 1
fi
echo "check-packages: every package made and checked"
