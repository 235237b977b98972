# Sourced by the scripts that run Windows programs on a display: one Wine
# server per run, started for this display and ended with the run.
#
# A server left by an earlier command (a persistent one, or one that a
# displayless `wine` started) would serve this run's windows without a
# display, or make `wineserver -p` fail; so the run ends any server of its
# prefix first and waits for it to go, then starts its own. The prefix is
# the run's own: two runs at once need two prefixes.
. "$(dirname "$0")/../lib/wine-env.sh"

wine_session_end() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
}

wine_session_begin() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "$0: no Wine prefix at $WINEPREFIX; run scripts/setup/machine.sh (make setup) first" >&2
        exit 1
    fi
    wine_session_end
    trap wine_session_end EXIT
    trap 'exit 130' INT TERM
    # Standard streams redirected, or Wine's helpers keep the caller's pipes open.
    if ! wineserver -p 60 </dev/null >/dev/null 2>&1; then
        echo "$0: cannot start a Wine server for $WINEPREFIX" >&2
        exit 1
    fi
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
