# Sourced by the scripts that run Windows programs: one quiet 32-bit prefix.
export WINEARCH=win32
export WINEPREFIX="${WINEPREFIX:-$HOME/.quavix-wine}"
export WINEDEBUG=-all
# A crashing test program must end, not wait in the debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
