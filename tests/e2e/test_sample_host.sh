#!/usr/bin/env bash
# The demo's sample host with reporting on: a flash-drum unit reads the feed's
# components and constants, sets temperature and pressure for the whole
# mixture and the composition per component, flashes, reads the results and
# duplicates the feed. Two forms (the feed, then the outlet) are filled with
# their own report names; the unit's calls are traced in the first report up
# to the outlet's creation, the outlet's own identification calls in the second.
source "$(dirname "$0")/lib.sh" "$1"
source "$E2E_DIR/trace_lines.sh"

rm -f "$REPORTS/e2e_unit.txt" "$REPORTS/e2e_outlet.txt"
run_with_autofill --como "$(winpath "$DATA/three_components.como")" \
    --report e2e_unit --report e2e_outlet --forms 2 -- wine "$BIN/korvid-sample-host.exe"
[ "$CLIENT_RC" = 0 ] || { cat "$WORK/client.txt" >&2; fail "the sample host exited $CLIENT_RC"; }
grep -qx 'Unit: outlet created by Duplicate' "$WORK/client.txt" ||
    { cat "$WORK/client.txt" >&2; fail "the unit did not finish"; }

{
    header ICapeThermoMaterialObject_ComponentIds
    header ICapeThermoMaterialObject_GetNumComponents
    printf '\tReturned value:\t3\n'
    header ICapeThermoMaterialObject_GetComponentConstant
    arg Properties molecularWeight
    arg ComponentIds ""
    set_c temperature overall Mixture mole; value_line All 350; dashes
    set_c pressure overall Mixture mole; value_line All 200000; dashes
    set_a fraction overall Mixture mole Methane 0.5 Ethane 0.3 Water 0.2
    header ICapeThermoMaterialObject_CalcEquilibrium
    arg flashType props
    arg TP ""
    for property in temperature pressure phasefraction fraction; do
        for phase in vapor liquid; do get_all "$property" "$phase" Mixture mole; done
    done
    header ICapeThermoMaterialObject_Duplicate
    header ICapeThermoMaterialObject_CreateMaterialObject
} >"$WORK/unit.txt"
expect_report e2e_unit "$WORK/unit.txt"
{
    header ICapeIdentification_ComponentName
    header ICapeIdentification_ComponentDescription
} >"$WORK/outlet.txt"
expect_report e2e_outlet "$WORK/outlet.txt"
rm -f "$REPORTS/e2e_unit.txt" "$REPORTS/e2e_outlet.txt"
echo "PASS sample host"
