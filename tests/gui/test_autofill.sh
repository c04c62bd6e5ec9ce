#!/bin/bash
# korvid-autofill fills the forms of two creations in another process: Load
# through the open dialog, the CAS number option, report names (a refused one
# gives way to the next) and OK; it answers the host's message box and ends
# when the host has ended. Refused arguments end it with code 4 and the reason.
source "$(dirname "$0")/gui_common.sh" "$1"

autofill() {
    timeout 90 wine "$KORVID_BIN/korvid-autofill.exe" "$@" | tr -d '\r' >"$KORVID_WORK/autofill.out"
    return "${PIPESTATUS[0]}"
}
while IFS='|' read -r args reason; do
    # shellcheck disable=SC2086
    autofill $args
    code=$?
    [ $code = 4 ] && grep -qxF "error: $reason" "$KORVID_WORK/autofill.out" ||
        gui_fail "autofill $args: exit $code, '$(head -1 "$KORVID_WORK/autofill.out")'"
done <<'CASES'
--cas --forms 2|--como PATH is required
--como|--como needs a value
--como x.como --report|--report needs a value
--como x.como --forms 0|--forms needs a positive whole number, not '0'
--como x.como --timeout 1.5|--timeout needs a positive whole number, not '1.5'
--como x.como --colour red|unknown argument '--colour'
CASES
autofill --como x.como --timeout 1
code=$?
[ $code = 1 ] || gui_fail "no form within the timeout: exit code $code"

gui_register
reports="$KORVID_BIN/CapeOpenValidationReports"
mkdir -p "$reports"
rm -f "$reports/gui_autofill.txt"
gui_start_probe --count 2 --message "all objects created"
autofill --como "$KORVID_COMO" --forms 2 --cas --report 'a|b' --report gui_autofill --timeout 60 ||
    gui_fail "autofill exit code $?"
sed 's/^/  autofill: /' "$KORVID_WORK/autofill.out"
gui_expect_probe 10 "created: Methane,Ethane,Water|74-82-8,74-84-0,7732-18-5" 2
grep -qxF "status: Enter a different name for reporting." "$KORVID_WORK/autofill.out" ||
    gui_fail "the report name a|b was not refused"
grep -qxF "message: Korvid probe: all objects created" "$KORVID_WORK/autofill.out" ||
    gui_fail "the probe's message box was not reported"
[ -f "$reports/gui_autofill.txt" ] || gui_fail "no report gui_autofill.txt opened"
gui_finish
