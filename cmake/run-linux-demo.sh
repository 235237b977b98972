#!/bin/sh
# The main job on Linux: quavix.so in the Linux host tool, rendering the
# built-in demo.
set -eu
mkdir -p dist/demo
echo "demo: rendering dist/demo/quavix-demo-linux.wav with dist/linux-x86_64/quavix.so"
if ! dist/linux-x86_64/quavix-host dist/linux-x86_64/quavix.so --demo-out dist/demo/quavix-demo-linux.wav; then
    echo "demo: failed: rendering the demo with dist/linux-x86_64/quavix.so" >&2
    exit 1
fi
