#!/bin/bash
# korvid-autofill fills the forms of two creations in another process: Load
# through the open dialog, the CAS number option, a report name and OK; it
# answers the host's message box and ends when the host has ended.
source "$(dirname "$0")/gui_common.sh" "$1"

autofill() {
    timeout 90 wine "$KORVID_BIN/korvid-autofill.exe" "$@" | tr -d '\r' >"$KORVID_WORK/autofill.out"
    local code=${PIPESTATUS[0]}
    sed 's/^/  autofill: /' "$KORVID_WORK/autofill.out"
    return "$code"
}

# Arguments and the timeout, before any form exists.
while read -r expected args; do
    # shellcheck disable=SC2086
    autofill $args
    code=$?
    [ "$code" = "$expected" ] || gui_fail "autofill $args: exit $code, expected $expected"
done <<'CASES'
4 --cas
4 --como
4 --como x.como --forms 0
4 --como x.como --timeout soon
4 --como x.como --colour red
1 --como x.como --timeout 1
CASES

gui_register
reports="$KORVID_BIN/CapeOpenValidationReports"
mkdir -p "$reports"
rm -f "$reports/gui_autofill.txt"

gui_start_probe --count 2 --message "all objects created"
autofill --como "$KORVID_COMO" --forms 2 --cas --report gui_autofill --timeout 60 ||
    gui_fail "autofill exit code $?"
gui_wait_probe 10 || gui_fail "the probe did not end"
created=$(grep -c -xF "created: Methane,Ethane,Water|74-82-8,74-84-0,7732-18-5" "$KORVID_WORK/probe.out")
[ "$created" = 2 ] || gui_fail "probe said '$(cat "$KORVID_WORK/probe.out")'"
grep -qxF "message: Korvid probe: all objects created" "$KORVID_WORK/autofill.out" ||
    gui_fail "the probe's message box was not reported"
[ -s "$reports/gui_autofill.txt" ] || gui_fail "no trace report gui_autofill.txt"

gui_finish
