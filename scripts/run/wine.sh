#!/bin/sh
# Runs one Windows program under the project's Wine prefix.
. "$(dirname "$0")/../lib/wine-env.sh"
exec wine "$@"
