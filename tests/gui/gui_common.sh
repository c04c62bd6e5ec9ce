# Sourced by the GUI tests ($1: the build's bin folder): paths, a display and
# a Wine server, the probe host, the checker, screenshots and cleanup.
KORVID_BIN=$(cd "$1" && pwd)
KORVID_SRC=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
KORVID_ARTIFACTS="$KORVID_BIN/../artifacts"
KORVID_GUI_COMO="$KORVID_SRC/tests/data/three_components.como"
KORVID_WORK=$(mktemp -d)
mkdir -p "$KORVID_ARTIFACTS"
# shellcheck source=../../tools/scripts/wine-env.sh
source "$KORVID_SRC/tools/scripts/wine-env.sh"
korvid_start_display
korvid_start_wine
trap 'kill "${gui_probe:-}" 2>/dev/null; rm -rf "$KORVID_WORK"' EXIT

gui_failures=0
gui_fail() {
    echo "FAIL: $*"
    gui_failures=$((gui_failures + 1))
}
gui_register() {
    korvid_timeout 60 "$(korvid_system_wine)" "$(korvid_system_dir)\\regsvr32.exe" /s "$KORVID_BIN/Korvid.dll" || gui_fail "regsvr32 Korvid.dll"
}
# timeout itself is the background job (not korvid_timeout's subshell, nor a
# pipe's last command): the exit trap's kill then ends the probe, whose form
# would otherwise stay up and hold the foreground in the next tests.
# KORVID_PROBE_LOG=FILE keeps the probe's Wine trace, with the channels of
# KORVID_PROBE_DEBUG (a WINEDEBUG value; +event shows the X focus events).
gui_start_probe() {
    timeout "$(korvid_scaled 120)" env WINEDEBUG="${KORVID_PROBE_DEBUG:-$WINEDEBUG}" \
        wine "$KORVID_BIN/korvid-e2e-host.exe" probe "$@" \
        2>>"${KORVID_PROBE_LOG:-/dev/null}" >"$KORVID_WORK/probe.raw" &
    gui_probe=$!
}
# What the probe prints for a creation whose form loaded three_components.como.
gui_created='created: str["Methane" "Ethane" "Water"] str["74-82-8" "74-84-0" "7732-18-5"]'
# Waits up to $1 seconds for the probe to end, then expects its line $2 ($3 times, default once).
gui_expect_probe() {
    for _ in $(seq $(($(korvid_scaled "$1") * 10))); do kill -0 "$gui_probe" 2>/dev/null && sleep 0.1; done
    kill -0 "$gui_probe" 2>/dev/null && gui_fail "the probe did not end"
    tr -d '\r' <"$KORVID_WORK/probe.raw" >"$KORVID_WORK/probe.out"
    [ "$(grep -c -xF "$2" "$KORVID_WORK/probe.out")" = "${3:-1}" ] ||
        gui_fail "probe said '$(cat "$KORVID_WORK/probe.out")', expected ${3:-1} x '$2'"
}
# A screenshot of the definition form, or of the window titled $2, as $KORVID_ARTIFACTS/$1.png.
gui_screenshot() {
    local id
    id=$(xdotool search --name "^${2:-Material Object Definition}\$" 2>/dev/null | head -1)
    [ -n "$id" ] && import -window "$id" "$KORVID_ARTIFACTS/$1.png" || gui_fail "screenshot $1"
}
# gui_check SECTION: the checker runs that section of the form's script and
# adds its transcript to the one gui_compare compares with the script.
gui_script="$KORVID_SRC/tests/data/gui/definition_form.txt"
export KORVID_WORK KORVID_GUI_COMO
gui_check() {
    korvid_timeout 90 wine "$KORVID_BIN/korvid-form-check.exe" "$(winepath -w "$gui_script")" "$1" |
        tr -d '\r' >>"$KORVID_WORK/transcript"
    [ "${PIPESTATUS[0]}" = 0 ] || gui_fail "korvid-form-check $1"
}
# KORVID_UPDATE_EXPECTED=1 writes the transcript into the script instead.
gui_compare() {
    if [ -n "${KORVID_UPDATE_EXPECTED:-}" ]; then
        cp "$KORVID_WORK/transcript" "$gui_script"
    else
        diff "$gui_script" "$KORVID_WORK/transcript" || { gui_fail "the form's transcript differs"; gui_display_state; }
    fi
}
# Who holds the X input focus, and the Windows programs running, for a form
# that lost its focus.
gui_display_state() {
    local focus
    if focus=$(xdotool getwindowfocus 2>/dev/null) && [ -n "$focus" ]; then
        echo "X focus: window $focus $(xprop -id "$focus" WM_NAME _NET_WM_PID WM_CLASS 2>/dev/null | tr '\n' ' ')"
    else
        echo "X focus: the pointer's window (PointerRoot) or none"
    fi
    xwininfo -root -children 2>/dev/null | grep -v 'has no name' | sed 's/^/  /'
    ps -eo pid,etimes,args | grep -i '[.]exe' | sed 's/^/  /'
}
gui_finish() {
    [ "$gui_failures" -eq 0 ] || { echo "$gui_failures failure(s)"; exit 1; }
    echo "passed"
}
