#!/bin/sh
# What make bench and make validate-peers need beyond make test's set-up:
# Debian's LV2 wahs, filters and equalisers, to put beside Quavix's LV2 build
# and to validate. Safe to run again: a package already installed is left
# alone. A machine that cannot install them still benchmarks; the peers are
# then skipped with a message.
set -u
PACKAGES="guitarix-lv2 calf-plugins lsp-plugins-lv2"
sudo_() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -n "$missing" ] || exit 0
echo "bench-setup: installing$missing"
sudo_ apt-get update -qq &&
    sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null ||
    echo "bench-setup: could not install$missing; their benchmarks are skipped" >&2
exit 0
