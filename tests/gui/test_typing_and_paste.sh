#!/bin/bash
# Typing and pasting components in the definition form of a real COM
# creation, driven by clicks and keys only: the edit box with its live copy,
# Enter, Escape, the check mark and the cross; Copy to and Paste from the
# system clipboard through the CopyPaste menu; the size error; Save of what
# was typed through the save dialog and Load of it back; then OK.
# Screenshots of an edit in progress, of a pasted grid, of the size error and
# of the reloaded grid go to <build>/artifacts/.
source "$(dirname "$0")/gui_common.sh" "$1"

gui_register
# The edit box shows its idle state in the active border's colour and its
# editing state in the highlighted text's colour: a scheme in which the two
# differ (the classic grey border) lets the checker tell them apart on screen.
timeout 30 wine reg add 'HKCU\Control Panel\Colors' /v ActiveBorder /t REG_SZ /d '212 208 200' /f \
    >/dev/null 2>&1 || gui_fail "setting the active border colour"
gui_start_probe
saved="$KORVID_WORK/typed.como"

gui_check edit || gui_fail "typing through the edit box"
gui_screenshot form_editing
gui_check copy || gui_fail "Copy to the clipboard"
gui_check save "$saved" || gui_fail "Save of what was typed"
gui_check paste || gui_fail "Paste of three lines"
gui_screenshot form_pasted
gui_check size-error || gui_fail "the size error"
gui_screenshot size_error Vantrix
gui_check size-error-ok || gui_fail "the size error answered"
gui_check reload "$saved" || gui_fail "Load of what was saved"
gui_screenshot form_reloaded
gui_check ok || gui_fail "OK after typing"
gui_wait_probe 20 || gui_fail "the creation did not return after OK"
# The component table is what the last Load put there: the typed components.
expected="created: Methane,Ethane|74-82-8,74-84-0"
grep -qxF "$expected" "$KORVID_WORK/probe.out" ||
    gui_fail "probe said '$(cat "$KORVID_WORK/probe.out")', expected '$expected'"

gui_finish
