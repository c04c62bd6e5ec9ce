# Sourced by the project's scripts: a Wine prefix of our own, a running Wine
# server and, when no display is set, a virtual one.
#   KORVID_WINEPREFIX  prefix to use (default: ~/.cache/korvid/wine)
#   KORVID_DISPLAY     display number for Xvfb (default :97)
#   KORVID_BITS        bitness of the programs under test: 64 (default) or 32
#   KORVID_TIME_SCALE  a whole number that stretches every time limit of the
#                      tests (default 1): an emulated machine runs several
#                      times slower; what the tests check stays the same

export WINEPREFIX="${KORVID_WINEPREFIX:-$HOME/.cache/korvid/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

# korvid_scaled SECONDS: a time limit stretched by KORVID_TIME_SCALE.
korvid_scaled() { echo $(($1 * ${KORVID_TIME_SCALE:-1})); }
# korvid_timeout SECONDS COMMAND...: timeout(1) with the limit stretched. Not
# for a background job that is killed later: `kill $!` would end the function's
# subshell and leave timeout and COMMAND running; use timeout "$(korvid_scaled
# SECONDS)" there.
korvid_timeout() {
    local limit="$1"
    shift
    timeout "$(korvid_scaled "$limit")" "$@"
}

korvid_start_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    local display="${KORVID_DISPLAY:-:97}"
    if ! DISPLAY="$display" xdpyinfo >/dev/null 2>&1; then
        setsid Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
        for _ in $(seq 1 50); do
            DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && break
            sleep 0.1
        done
    fi
    export DISPLAY="$display"
}

korvid_start_wine() {
    # Wine makes a prefix in an empty folder as well; a server started for a
    # folder that is not there yet would end with its last program.
    mkdir -p "$WINEPREFIX"
    local fresh=0
    [ -f "$WINEPREFIX/system.reg" ] || fresh=1
    # Wine takes the user's locale from LANG when the prefix is brought up,
    # and a server that is still running keeps the settings of the locale it
    # started with: a change of locale starts a new server.
    local locale="${LC_ALL:-${LANG:-}}"
    if [ "$(cat "$WINEPREFIX/.korvid-locale" 2>/dev/null)" != "$locale" ]; then
        wineserver -k >/dev/null 2>&1 || true
    fi
    # The server runs detached so that no test waits on its inherited pipes.
    # The first program of a session makes or updates the prefix and starts
    # its services; `wineboot -i` on a running session would start one more
    # services.exe, with its drivers, at every call.
    setsid bash -c 'wineserver -p; wine cmd /c exit' </dev/null >/dev/null 2>&1
    printf '%s' "$locale" >"$WINEPREFIX/.korvid-locale"
    if [ "$fresh" = 1 ]; then
        # A crash ends the process instead of opening a debugger dialog.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    fi
    # No window manager under Xvfb: Wine draws captions itself and manages
    # its windows alone (a managed window waits 2 s for a window manager each
    # time it is hidden). Checked in the registry file, also for older prefixes.
    if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    fi
}

korvid_stop_wine() {
    wineserver -k >/dev/null 2>&1 || true
}

# The folder of Windows' own programs (regsvr32, cscript) of the bitness under
# test: a 32-bit server registers and loads only through 32-bit programs,
# which a 64-bit Windows (and a WoW64 prefix) keeps in syswow64.
korvid_system_dir() {
    if [ "${KORVID_BITS:-64}" = 32 ]; then
        echo 'C:\windows\syswow64'
    else
        echo 'C:\windows\system32'
    fi
}

# The Wine loader that starts those programs. Where wine32 is installed,
# `wine` is the 32-bit loader, and a 32-bit process sees syswow64 under the
# name system32, as on Windows: a 64-bit program there needs the 64-bit one.
korvid_system_wine() {
    if [ "${KORVID_BITS:-64}" = 64 ] && [ -x /usr/lib/wine/wine64 ]; then
        echo /usr/lib/wine/wine64
    else
        echo wine
    fi
}
