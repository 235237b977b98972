#!/bin/sh
# The Linux host tool's validator over Debian's plug-ins nearest a wah, run as
# black boxes: the VST 2.4 peers of scripts/run/peer-bench.sh, and the LV2 ones
# below (guitarix's wahs, Calf's filters, LSP's and ZAM's equalisers). For
# each, the checks that failed with their reasons, the whole of the Host
# habits group where it runs (VST 2.4), and the tally; then one table per
# format. Their faults are their projects' to fix, so this never fails for
# them; it fails only when the tool itself is missing.
#
#   scripts/run/validate-peers.sh [STRICTNESS]    (default 3)
set -u
strictness=${1:-3}
dist=${QUAVIX_LINUX_DIST:-dist/linux-x86_64}
host=$dist/quavix-host
if [ ! -x "$host" ]; then
    echo "validate-peers: no $host; build it first (make linux)" >&2
    exit 1
fi
here=$(dirname "$0")
log=$(mktemp)
tables=$(mktemp -d)
trap 'rm -rf "$log" "$tables"' EXIT

# Validates one plug-in, prints what failed, and adds its row to FORMAT's table.
validate() {
    format=$1 package=$2 plugin=$3
    echo "== $package: $plugin (strictness $strictness)"
    "$host" --validate "$plugin" --strictness "$strictness" >"$log" 2>&1
    # Host habits is the last group: its lines come whole after the others' failures.
    sed '/^== Host habits (/,$d' "$log" |
        grep -E '^Rerun with:|^  FAIL|^        (failure|warning):|^        quavix-host: crashed' | sed 's/^/   /'
    sed -n '/^== Host habits (/,/^== \|^[0-9]* warnings$/p' "$log" | sed '/^$/d;/^[0-9]* warnings$/d;s/^/   /'
    tally=$(tail -n 1 "$log")
    warnings=$(grep -c '^        warning:' "$log")
    echo "   $tally, $warnings warnings"
    reason=$(grep -m 1 -E '^        failure:|^        quavix-host: crashed|^quavix-host:' "$log" |
        sed 's/^ *failure: //;s/^ *//' | cut -c 1-90)
    printf '| %s | %s | %s | %s |\n' "$package: ${plugin##*/}" "$tally" "$warnings" "${reason:-}" >>"$tables/$format"
}

# The VST 2.4 peer list is peer-bench.sh's: package|file|settings|description.
sed -n '/^PEERS$/q;/<<.PEERS.$/,$p' "$here/peer-bench.sh" | sed 1d >"$tables/vst-peers"
while IFS='|' read -r package file settings what; do
    [ -n "$package" ] || continue
    if [ -f "$file" ]; then
        validate "VST 2.4" "$package" "$file"
    else
        echo "== $package: $file: skipped, not installed"
    fi
done <"$tables/vst-peers"

# LV2 peers by URI, as lilv finds them among the installed bundles.
while IFS='|' read -r package uri; do
    if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
        validate LV2 "$package" "$uri"
    else
        echo "== $package: $uri: skipped, not installed (make bench installs it)"
    fi
done <<'LV2_PEERS'
guitarix-lv2|http://guitarix.sourceforge.net/plugins/gxautowah#wah
guitarix-lv2|http://guitarix.sourceforge.net/plugins/gx_colwah_#_colwah_
calf-plugins|http://calf.sourceforge.net/plugins/Filter
calf-plugins|http://calf.sourceforge.net/plugins/EnvelopeFilter
lsp-plugins-lv2|http://lsp-plug.in/plugins/lv2/para_equalizer_x16_stereo
zam-plugins|urn:zamaudio:ZamEQ2
zam-plugins|urn:zamaudio:ZamGEQ31
LV2_PEERS

for format in "VST 2.4" LV2; do
    [ -f "$tables/$format" ] || continue
    printf '\n%s peers at strictness %s\n\n' "$format" "$strictness"
    echo "| plug-in | result | warnings | first failure |"
    echo "|---|---|---|---|"
    cat "$tables/$format"
done
exit 0
