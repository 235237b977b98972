#!/bin/sh
# Runs one Windows program under the project's Wine prefix.
. "$(dirname "$0")/wine-env.sh"
exec wine "$@"
