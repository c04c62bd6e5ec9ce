#!/bin/bash
# korvid-autofill fills the forms of two creations in another process: Load
# through the open dialog, the CAS number option, a report name and OK; it
# answers the host's message box and ends when the host has ended. Refused
# arguments end it with code 4, a form that never comes with code 1.
source "$(dirname "$0")/gui_common.sh" "$1"

autofill() {
    timeout 90 wine "$KORVID_BIN/korvid-autofill.exe" "$@" | tr -d '\r' >"$KORVID_WORK/autofill.out"
    return "${PIPESTATUS[0]}"
}
autofill --como x.como --forms 0
code=$?
[ $code = 4 ] || gui_fail "refused arguments: exit code $code"
autofill --como x.como --timeout 1
code=$?
[ $code = 1 ] || gui_fail "no form within the timeout: exit code $code"

gui_register
reports="$KORVID_BIN/CapeOpenValidationReports"
mkdir -p "$reports"
rm -f "$reports/gui_autofill.txt"
gui_start_probe --count 2 --message "all objects created"
autofill --como "$KORVID_COMO" --forms 2 --cas --report gui_autofill --timeout 60 || gui_fail "autofill exit code $?"
sed 's/^/  autofill: /' "$KORVID_WORK/autofill.out"
gui_expect_probe 10 "created: Methane,Ethane,Water|74-82-8,74-84-0,7732-18-5" 2
grep -qxF "message: Korvid probe: all objects created" "$KORVID_WORK/autofill.out" ||
    gui_fail "the probe's message box was not reported"
[ -f "$reports/gui_autofill.txt" ] || gui_fail "no report gui_autofill.txt opened"
gui_finish
