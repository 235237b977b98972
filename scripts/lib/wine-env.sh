# Sourced by the scripts that run Windows programs: one quiet 64-bit prefix,
# which runs the 32-bit programs through its WoW64 side as well. A prefix made
# for one architecture is never reused for the other, hence the name.
export WINEARCH=win64
export WINEPREFIX="${WINEPREFIX:-$HOME/.quavix-wine64}"
export WINEDEBUG=-all
# A crashing test program must end, not wait in the debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
