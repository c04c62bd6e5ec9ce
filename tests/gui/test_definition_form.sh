#!/bin/bash
# The definition form of a real COM creation, driven by clicks and keys from
# its fresh state through typing, Copy, Save, Paste, the size error, Load and
# files handed as korvid-autofill hands them to OK, after which the creation
# returns with the loaded components; the transcript of the checker's actions
# is compared with tests/data/gui/.
# Screenshots of each state go to <build>/artifacts/.
source "$(dirname "$0")/gui_common.sh" "$1"

gui_register
gui_start_probe
gui_check fresh
gui_screenshot form_empty
gui_check edit
gui_screenshot form_editing
gui_check copy
gui_check save
gui_check paste
gui_screenshot form_pasted
gui_check size-error
gui_screenshot size_error Vantrix
gui_check size-error-ok
gui_check load
gui_screenshot form_loaded
gui_check hand
gui_check ok
gui_expect_probe 20 "$gui_created"
gui_compare
gui_finish
