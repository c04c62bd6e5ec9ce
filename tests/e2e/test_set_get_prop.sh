#!/usr/bin/env bash
# SetProp and GetProp from a VBScript host with VBScript arrays: round trips
# of per-component and one-value keys, every refusal's number, source and
# description, the component-mismatch box once per creation, and the report
# of the whole session byte for byte.
source "$(dirname "$0")/lib.sh" "$1"
source "$E2E_DIR/trace_lines.sh"

como="$(winpath "$DATA/three_components.como")"
mismatch="Korvid: Error MO Components do not match with PPP components"

rm -f "$REPORTS/e2e_props.txt"
run_with_autofill --como "$como" --report e2e_props -- run_vbs "$E2E_DIR/vbs/set_get_prop.vbs" report
client_passed
[ "$(count_messages "$mismatch")" = 1 ] || fail "expected one mismatch box: $(cat "$WORK/autofill.txt")"

{
    get_all temperature overall "" mole;          returned " 273.15"
    get_all pressure vapor "" mass;               returned " 101325"
    get_all fugacity "" "" "";                    returned " 0" " 0" " 0"
    set_c fraction vapor calc mole
    value_line 74-82-8 0.2; value_line 74-84-0 0.3; value_line 7732-18-5 0.5; dashes
    get_all FRACTION VAPOR "" "";                 returned " 0.2" " 0.3" " 0.5"
    get_all fraction vapor "" mass;               returned " 0" " 0" " 0"
    get_all fraction liquid "" mole;              returned " 0" " 0" " 0"
    set_a fugacity liquid c MASS Methane 1.5 Water 2.5
    get_ids Fugacity LIQUID c Mass Water;         returned " 1.5" " 2.5" " 3.5"
    set_a VaporPressure.DTemperature overall "" moles Ethane 10
    get_all vaporpressure.dtemperature "" "" "";  returned " 10" " 20" " 30"
    get_all vaporPressure "" "" "";               returned " 0" " 0" " 0"
    set_c temperature "" "" ""; value_line All 350; dashes
    get_all TEMPERATURE overall "" mole;          returned " 350"
    set_c pressure solid "" ""
    value_line 74-82-8 200000.5; value_line 74-84-0 1; value_line 7732-18-5 2; dashes
    get_all Pressure solid "" "";                 returned " 200000.5"
    set_b viscosity vapor "" "" "" 0.001
    set_c viscosity vapor "" ""; value_line All 0.001; dashes
    get_ids viscosity vapor "" "" Water;          returned " 0.001"
    # Refusals: header and dump, and the line before each error 2.
    set_c jouleThomsonCoefficient vapor "" ""; value_line All 1; dashes
    set_c "" vapor "" ""; value_line All 1; dashes
    get_all temperature GasLiquid "" ""
    set_a fraction vapor "" "" Propane 1
    get_ids fraction vapor "" "" methane Nitrogen
    set_c fraction vapor "" weight; value_line All 1; dashes
    get_all fraction vapor "" molar
    get_all energy "" "" "";                      not_administered energy
    set_c temperature.DPressure vapor "" ""; value_line All 1; dashes
    not_administered temperature.DPressure
    set_a "density " GasLiquid "" weight Propane 1
    # Run-time errors from the values.
    set_c fraction overall "" ""; value_line 74-82-8 7; value_line 74-84-0 8; dashes
    get_all fraction overall "" "";               returned " 7" " 8" " 0"
    set_c fraction solid "" ""
    value_line 74-82-8 4; value_line 74-84-0 abc; value_line 7732-18-5 6; dashes
    get_all fraction solid "" "";                 returned " 4" " 0" " 0"
    # The dump stops at the missing value of the second identifier.
    set_a fraction vapor "" "" Methane 5
    arg "Prop         " fraction; arg "Phase       " vapor; arg "CompIds   " Ethane
    arg "CalcType" ""; arg "Basis        " ""
    get_all fraction vapor "" "";                 returned " 0.2" " 0.3" " 0.5"
} >"$WORK/expected.txt"
expect_report e2e_props "$WORK/expected.txt"

# Reporting off; a second creation shows the box again, once.
run_with_autofill --como "$como" --forms 2 -- run_vbs "$E2E_DIR/vbs/set_get_prop.vbs" warned
client_passed
[ "$(count_messages "$mismatch")" = 2 ] || fail "expected two mismatch boxes: $(cat "$WORK/autofill.txt")"
echo "PASS SetProp and GetProp"
