#!/usr/bin/env bash
# The other operations from a VBScript host: lists in both id modes, checks,
# constants, calculation, independent variables and cloning with nested
# definition forms; results, errors, message boxes and the reports byte for
# byte (random numbers checked for their range, then masked).
source "$(dirname "$0")/lib.sh" "$1"
source "$E2E_DIR/trace_lines.sh"

como="$(winpath "$DATA/three_components.como")"
mismatch="Korvid: Error MO Components do not match with PPP components"

# mask_random NAME: NAME.txt with every value listed after a universal
# constant call replaced by RANDOM, into NAME_masked.txt; fails when one is
# outside [0, 100) or two are equal.
mask_random() {
    awk -v universal="* ICapeThermoMaterialObject_GetUniversalConstant" \
        -v values="$WORK/random.txt" '
        { sub(/\r$/, "") }
        $0 == universal { inCall = 1 }
        inCall && $0 == "\tReturned values:" { listing = 1; print; next }
        listing && /^\t\t/ {
            v = substr($0, 3) + 0
            if (v < 0 || v >= 100) { print "random value out of range: " $0 > "/dev/stderr"; bad = 1 }
            print substr($0, 3) > values
            print "\t\tRANDOM"; next
        }
        { listing = 0 }
        /^\* / && $0 != universal { inCall = 0 }
        { print }
        END { exit bad }' "$REPORTS/$1.txt" | sed 's/$/\r/' >"$REPORTS/$1_masked.txt" ||
        fail "a universal constant outside [0, 100)"
    [ -z "$(sort "$WORK/random.txt" | uniq -d)" ] || fail "universal constants repeat: $(cat "$WORK/random.txt")"
}

phases=(overall liquid vapor solid LiquidLiquid VaporLiquid VaporLiquidLiquid GasLiquid)
props=(vaporPressure sublimationPressure meltingPressure glassTransitionTemperature
    solidSolidPhaseTransitionTemperature virialCoefficient surfaceTension expansivity
    compressibilityCoefficient compressibilityFactor "jouleThomsonCoefficient " heatOfVaporization
    heatOfSublimation heatOfFusion heatOfSolidSolidPhaseTransition volumeChangeUponVaporization
    volumeChangeUponSublimation volumeChangeUponMelting volumeChangeUponSolidSolidPhaseTransition
    heatCapacity idealGasHeatCapacity idealGasEnthalpy excessEnthalpy excessEnergy
    excessGibbsFreeEnergy excessHelmholtzFreeEnergy excessEntropy excessVolume specificEnthalpy
    specificEnergy specificGibbsFreeEnergy specificHelmholtzFreeEnergy specificEntropy
    specificVolume partialMolarEnthalpy partialMolarEnergy partialGibbsFreeEnergy
    partialHelmholtzFreeEnergy partialMolarVolume compressibility viscosity thermalConductivity
    selfDiffusionCoefficient fugacity fugacityCoefficient activity activityCoefficient
    bubblePointPressure bubblePointTemperature dewPointPressure dewPointTemperature)
[ "${#props[@]}" = 51 ] || fail "the expected property list has ${#props[@]} names"
thermo() { header "ICapeThermoMaterialObject_$1"; }
ident() { header "ICapeIdentification_$1"; }
line() { printf '\t%s\t%s\n' "$@"; }

# Names as ids: three forms, one report each (the object's, the duplicate's,
# the created object's).
rm -f "$REPORTS"/e2e_ops*.txt
run_with_autofill --como "$como" --report e2e_ops --report e2e_ops_dup \
    --report e2e_ops_new --forms 3 -- run_vbs "$E2E_DIR/vbs/other_operations.vbs" name
client_passed
[ "$(grep -c '^message:' "$WORK/autofill.txt")" = 0 ] || fail "unexpected message box: $(cat "$WORK/autofill.txt")"

{
    thermo ComponentIds;          returned Methane Ethane Water
    thermo PhaseIds;              returned "${phases[@]}"
    thermo AvailableProps;        returned "${props[@]}"
    thermo GetPropList;           returned "${props[@]}"
    thermo GetNumComponents;      printf '\tReturned value:\t3\n'
    thermo PropCheck
    line Props temperature; line Props "no such thing"; line Props fraction
    returned True True True
    thermo PropCheck;             returned True True True
    thermo ValidityCheck
    set_c temperature "" "" ""; value_line All 400; dashes
    thermo RemoveResults;         echo "remove results"
    get_all temperature "" "" ""; returned " 400"
    thermo GetComponentConstant
    line Properties molecularWeight; line ComponentIds ""
    returned " 16.043" " 30.069" " 18.015"
    thermo GetComponentConstant
    line Properties molecularWeight; line Properties criticalTemperature
    line ComponentIds Ethane; line ComponentIds Methane
    returned
    thermo GetComponentConstant
    line Properties MolecularWeight; line ComponentIds Water; line ComponentIds Methane
    returned " 0" " 0"
    thermo GetComponentConstant
    line Properties molecularWeight; line ComponentIds ""
    thermo GetUniversalConstant
    line Prop gasConstant; line Prop "no constant"; returned RANDOM RANDOM
    thermo GetUniversalConstant
    line Prop "";                 returned RANDOM RANDOM RANDOM
    thermo CalcProp
    thermo CalcEquilibrium
    line flashType props; line TP temperature; line TP pressure
    get_all temperature liquid "" mole;  returned " 888.888"
    get_all temperature overall "" mass; returned " 273.15"
    get_all phaseFraction vapor "" "";   returned " 0.142857142857143"
    thermo GetIndependentVar
    line IndVar TEMPERATURE; line IndVar PRESSURE; line IndVar temperature
    returned -1 -1 " 0"
    thermo SetIndependent
    line IndVars TEMPERATURE; line values 300; line IndVars PRESSURE; line values 200000
    thermo GetIndependentVar
    line IndVar PRESSURE; line IndVar TEMPERATURE; returned " 200000" " 300"
    thermo SetIndependent
    line IndVars temperature; line values 250.5
    thermo GetIndependentVar
    line IndVar temperature; line IndVar TEMPERATURE; line IndVar PRESSURE
    returned " 250.5" " 0" " 200000"
    thermo SetIndependent
    line IndVars PRESSURE; line values 1; line IndVars TEMPERATURE; line values 2
    line IndVars VOLUME; line values 3
    thermo SetIndependent
    line IndVars kvalues; line values 5; line IndVars speed; line values 6
    thermo SetIndependent;        line IndVars TEMPERATURE; line values hot
    thermo SetIndependent;        line IndVars TEMPERATURE; line values 5
    # "hot" failed after slot 0 had taken the name TEMPERATURE: PRESSURE is
    # gone, and slot 1 answers for TEMPERATURE.
    thermo GetIndependentVar
    line IndVar PRESSURE; line IndVar TEMPERATURE; returned " 0" " 2"
    ident ComponentDescription
    thermo Duplicate
    thermo CreateMaterialObject
} >"$WORK/expected.txt"
mask_random e2e_ops
expect_report e2e_ops_masked "$WORK/expected.txt"

# The duplicate's form opened the next report: its two identification puts,
# then the calls made after the duplication.
{
    ident ComponentName; ident ComponentDescription
    ident ComponentName; ident ComponentDescription
    thermo CreateMaterialObject
} >"$WORK/expected.txt"
expect_report e2e_ops_dup "$WORK/expected.txt"
{
    ident ComponentName
    thermo ComponentIds;          returned Methane Ethane Water
} >"$WORK/expected.txt"
expect_report e2e_ops_new "$WORK/expected.txt"

# CAS numbers as ids.
rm -f "$REPORTS/e2e_ops_cas.txt"
run_with_autofill --como "$como" --cas --report e2e_ops_cas -- \
    run_vbs "$E2E_DIR/vbs/other_operations.vbs" cas
client_passed
[ "$(count_messages "$mismatch")" = 1 ] || fail "expected one mismatch box: $(cat "$WORK/autofill.txt")"
{
    thermo ComponentIds;          returned 74-82-8 74-84-0 7732-18-5
    set_a fraction vapor "" "" 7732-18-5 0.125
    set_a fraction vapor "" "" Water 1
    get_all fraction vapor "" ""; returned " 0.125" " 0.25" " 0.625"
    thermo GetComponentConstant
    line Properties normalBoilingPoint; line ComponentIds 7732-18-5; line ComponentIds Water
    returned " 373.15" " 0"
} >"$WORK/expected.txt"
expect_report e2e_ops_cas "$WORK/expected.txt"
rm -f "$REPORTS"/e2e_ops*_masked.txt
echo "PASS other operations"
