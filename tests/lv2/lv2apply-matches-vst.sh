#!/bin/sh
# Debian's lv2apply renders a file through the LV2 bundle, quavix-host the
# same file through quavix.so, at the same settings: the sample data must
# agree to the bit. lv2apply runs one frame per block, so quavix-host does
# too. Each setting must also sound unlike the one before, or a bundle that
# ignored its controls would pass.
#
#   lv2apply-matches-vst.sh DIST_DIR PLUGIN_URI
set -eu
dist=$(cd "$1" && pwd)  # LV2_PATH takes absolute paths only
uri=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# lilv takes every entry of a folder on LV2_PATH for a bundle: give it ours alone.
mkdir "$work/lv2"
ln -s "$dist/quavix.lv2" "$work/lv2/quavix.lv2"
# -R: the same noise on every run.
sox -R -n -r 44100 -c 2 -e floating-point -b 32 "$work/in.wav" synth 2 whitenoise vol 0.5
# Corner in hertz for the bundle | the same corner normalized for quavix.so | gain | peak
settings='2300|0.5|1|0.6
1550|0.25|0.8|0.9
800|0|0.35|1
3800|1|0.6|0'
status=0
previous=""
count=0
while IFS='|' read -r hertz normalized gain peak; do
    count=$((count + 1))
    LV2_PATH=$work/lv2 lv2apply -i "$work/in.wav" -o "$work/lv2.wav" \
        -c frequency "$hertz" -c gain "$gain" -c peak "$peak" "$uri"
    "$dist/quavix-host" "$dist/quavix.so" "$work/in.wav" "$work/vst.wav" --block 1 \
        --param 0="$normalized" --param 1="$gain" --param 2="$peak" >"$work/host.log" 2>&1 ||
        { cat "$work/host.log"; exit 1; }
    sox "$work/lv2.wav" -t f32 "$work/lv2-$count.raw" 2>/dev/null
    sox "$work/vst.wav" -t f32 "$work/vst.raw" 2>/dev/null
    setting="$hertz Hz, gain $gain, peak $peak"
    if cmp -s "$work/lv2-$count.raw" "$work/vst.raw"; then
        echo "lv2apply-matches-vst: $setting: identical ($(wc -c <"$work/vst.raw") bytes of samples)"
    else
        echo "lv2apply-matches-vst: $setting: the bundle and quavix.so differ"
        status=1
    fi
    if [ -n "$previous" ] && cmp -s "$previous" "$work/lv2-$count.raw"; then
        echo "lv2apply-matches-vst: $setting sounds like the setting before it: are the controls read?"
        status=1
    fi
    previous=$work/lv2-$count.raw
done <<EOF_SETTINGS
$settings
EOF_SETTINGS
exit $status
