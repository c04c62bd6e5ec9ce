#!/bin/bash
# korvid-autofill fills the forms of two creations in another process: Load
# through the open dialog, the CAS number option, report names (a refused one
# gives way to the next) and OK; it answers the host's message box and ends
# when the host has ended. Refused arguments end it with code 4 and the reason.
# A host that worked 6 s without taking messages before each creation gets
# both forms filled; a file the form cannot read gets no OK, and the form is
# closed, so that the creation fails instead of waiting.
source "$(dirname "$0")/gui_common.sh" "$1"

autofill() {
    korvid_timeout 130 wine "$KORVID_BIN/korvid-autofill.exe" "$@" | tr -d '\r' >"$KORVID_WORK/autofill.out"
    return "${PIPESTATUS[0]}"
}
# Refused command lines, and a form that never comes.
while IFS='|' read -r expected args reason; do
    # shellcheck disable=SC2086
    autofill $args
    code=$?
    [ $code = "$expected" ] && [ "$(head -1 "$KORVID_WORK/autofill.out")" = "$reason" ] ||
        gui_fail "autofill $args: exit $code, '$(head -1 "$KORVID_WORK/autofill.out")'"
done <<'CASES'
4|--cas --forms 2|error: --como PATH is required
4|--como|error: --como needs a value
4|--como x.como --report|error: --report needs a value
4|--como x.como --forms 0|error: --forms needs a positive whole number, not '0'
4|--como x.como --timeout 1.5|error: --timeout needs a positive whole number, not '1.5'
4|--como x.como --colour red|error: unknown argument '--colour'
1|--como x.como --timeout 1|
CASES

gui_register
reports="$KORVID_BIN/CapeOpenValidationReports"
mkdir -p "$reports"
rm -f "$reports/gui_autofill.txt"
gui_start_probe 2 "all objects created"
autofill --como "$KORVID_GUI_COMO" --forms 2 --cas --report 'a|b' --report gui_autofill --timeout "$(korvid_scaled 100)" ||
    gui_fail "autofill exit code $?"
sed 's/^/  autofill: /' "$KORVID_WORK/autofill.out"
gui_expect_probe 10 "$gui_created" 2
[ "$(cat "$KORVID_WORK/autofill.out")" = "status: Enter a different name for reporting.
message: Korvid probe: all objects created" ] || gui_fail "the name a|b was not refused or the probe's box not answered"
[ -f "$reports/gui_autofill.txt" ] || gui_fail "no report gui_autofill.txt opened"

KORVID_PROBE_BUSY=6 gui_start_probe 2
autofill --como "$KORVID_GUI_COMO" --forms 2 --cas --timeout "$(korvid_scaled 100)" ||
    gui_fail "busy host: autofill exit code $?, $(cat "$KORVID_WORK/autofill.out")"
gui_expect_probe 10 "$gui_created" 2

gui_start_probe 1
missing="$(winepath -w "$KORVID_WORK")\\missing.como"
autofill --como "$missing" --timeout "$(korvid_scaled 100)"
code=$?
gui_expect_probe 10 'creation: 0x800704C7 "Korvid" | "The Material Object Definition form was ended by WM_QUIT before OK: no object was created."'
[ $code = 2 ] && [ "$(cat "$KORVID_WORK/autofill.out")" = "status: The file could not be read: $missing
gave up: the form loaded nothing from $missing
status: Enter or load valid components data.
closed: the form refused its close command; it was ended by WM_QUIT" ] ||
    gui_fail "unreadable file: exit $code, $(cat "$KORVID_WORK/autofill.out")"
gui_finish
