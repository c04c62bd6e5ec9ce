#!/bin/bash
# The definition form shown by a real COM creation under the virtual display:
# what it shows when it loads, how it answers OK, close, typing, the options
# and the grid keys, a Load through the open dialog, and OK closing it.
# Screenshots of the empty and of the loaded form go to <build>/artifacts/.
source "$(dirname "$0")/gui_common.sh" "$1"

gui_register
gui_start_probe

gui_check fresh || gui_fail "the fresh form"
gui_screenshot form_empty
gui_check actions || gui_fail "the form's actions"

gui_check load "$KORVID_COMO" --wait 20 || gui_fail "Load through the open dialog"
gui_screenshot form_loaded
gui_check ok || gui_fail "OK after a Load"
gui_wait_probe 20 || gui_fail "the creation did not return after OK"
expected="created: Methane,Ethane,Water|74-82-8,74-84-0,7732-18-5"
grep -qxF "$expected" "$KORVID_WORK/probe.out" ||
    gui_fail "probe said '$(cat "$KORVID_WORK/probe.out")', expected '$expected'"

gui_finish
