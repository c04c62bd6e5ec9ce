#!/usr/bin/env bash
# A VBScript host creates Korvid.Tessel; its components are defined in the
# form by keys and clicks only (no file is loaded): names, CAS numbers and a
# few constants typed into rows 1 and 2, a report name, the CAS option, Save
# through the save dialog (which rebuilds the component table from the grid),
# then OK. The creation completes and the object reports what was typed.
source "$(dirname "$0")/lib.sh" "$1"

como="$WORK/typed.como"
rm -f "$REPORTS/e2e_typed.txt"
timeout 150 wine "$BIN/korvid-form-check.exe" define "$como" --report e2e_typed --wait 60 \
    >"$WORK/define.out" 2>&1 &
driver=$!
CLIENT_RC=0
run_vbs "$E2E_DIR/vbs/typed_components.vbs" >"$WORK/client.out" 2>&1 || CLIENT_RC=$?
drc=0
wait "$driver" || drc=$?
tr -d '\r' <"$WORK/client.out" >"$WORK/client.txt"
tr -d '\r' <"$WORK/define.out" >"$WORK/define.txt"
if [ "$drc" != 0 ]; then
    grep -v '^ok: ' "$WORK/define.txt" >&2
    fail "defining the components by hand failed (exit $drc)"
fi
client_passed
[ -s "$como" ] || fail "no component file was saved"

{
    printf '\tReturned values:\n\t\tWater\n\t\tEthanol\n'
    printf '\tReturned values:\n\t\t7732-18-5\n\t\t64-17-5\n'
    printf '\tReturned values:\n\t\t 373.15\n\t\t 351.44\n'
} >"$WORK/expected.txt"
expect_report e2e_typed "$WORK/expected.txt"
echo "PASS typed components"
