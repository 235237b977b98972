#!/bin/sh
# The main job on Linux: quavix.so in the Linux host tool, rendering the
# built-in demo; then what it does, as pictures measured from the plug-in
# and its demo: the response curves and a spectrogram; and the editor.
set -eu
mkdir -p dist/demo
echo "demo: rendering dist/demo/quavix-demo-linux.wav with dist/linux-x86_64/quavix.so"
if ! dist/linux-x86_64/quavix-host dist/linux-x86_64/quavix.so --demo-out dist/demo/quavix-demo-linux.wav; then
    echo "demo: failed: rendering the demo with dist/linux-x86_64/quavix.so" >&2
    exit 1
fi
echo "demo: measuring the response picture dist/demo/quavix-response.png from dist/linux-x86_64/quavix.so"
if ! dist/linux-x86_64/quavix-host --response-png dist/demo/quavix-response.png \
    --sweep-param 2=0:1:3 --sweep-param 0=0:1:3 --show-param 1 dist/linux-x86_64/quavix.so; then
    echo "demo: failed: measuring the response of dist/linux-x86_64/quavix.so" >&2
    exit 1
fi
# Mixed to mono and resampled to 12 kHz, so that the picture spends its
# height on 0 to 6 kHz, where the wah moves.
echo "demo: drawing the spectrogram dist/demo/quavix-demo-sonogram.png with sox"
if ! sox dist/demo/quavix-demo-linux.wav -n remix - rate 12k spectrogram -x 1200 -y 400 -z 80 \
    -t "Quavix demo: the wah pedal moving the corner between 800 and 3800 Hz" \
    -c "The bright band is the resonant peak following the pedal" -o dist/demo/quavix-demo-sonogram.png; then
    echo "demo: failed: drawing the spectrogram of dist/demo/quavix-demo-linux.wav" >&2
    exit 1
fi
# The editor as quavix.so shows it in a Linux host: the host tool opens it in
# an X window of its own, on a display of its own for this one picture.
echo "demo: saving the Linux editor picture dist/demo/quavix-editor-linux.png"
if ! xvfb-run -a -s "-screen 0 2048x1536x24" \
    dist/linux-x86_64/quavix-host --editor-png dist/demo/quavix-editor-linux.png dist/linux-x86_64/quavix.so; then
    echo "demo: failed: saving the editor picture of dist/linux-x86_64/quavix.so" >&2
    exit 1
fi
echo "demo: saving the Linux editor picture at 200% dist/demo/quavix-editor-linux@2x.png"
if ! xvfb-run -a -s "-screen 0 2048x1536x24" dist/linux-x86_64/quavix-host --scale 2 \
    --editor-png dist/demo/quavix-editor-linux@2x.png dist/linux-x86_64/quavix.so; then
    echo "demo: failed: saving the editor picture at 200% of dist/linux-x86_64/quavix.so" >&2
    exit 1
fi
