#!/usr/bin/env bash
# Numbers in exponent form through the real form, in English and in German
# (decimal comma): a component file holding 0.0000119, -2.5E+20, 1E+15,
# 0.0001 and 123456.789 is loaded, saved from the grid and confirmed. The
# object then serves the file's values (the grid showed them in the user's
# form and read them back unchanged), the saved file is what the writer
# makes of them, and SetProp traces them in the user's locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 ||
        { echo "FAIL: the locale de_DE.UTF-8 is missing (tools/scripts/setup.sh makes it)" >&2; exit 1; }
fi
source "$(dirname "$0")/lib.sh" "$1"

for run in "de_DE.UTF-8 , exponents_comma.como" "C.UTF-8 . exponents.como"; do
    read -r locale sep file <<<"$run"
    export LANG="$locale" LC_ALL="$locale"
    korvid_start_wine
    saved="$WORK/saved.como"
    rm -f "$REPORTS/e2e_exponent.txt" "$saved"
    run_with_autofill --como "$(winpath "$DATA/$file")" --save "$saved" --report e2e_exponent -- \
        run_vbs "$E2E_DIR/vbs/exponent_values.vbs"
    client_passed

    # displayRetVal writes "." in every locale: the constants are exactly the file's.
    {
        for c in "normalBoilingPoint  1.19E-05" "criticalPressure -2.5E+20" \
                 "criticalTemperature  1E+15" "acentricFactor  0.0001" "molecularWeight  123456.789"; do
            header ICapeThermoMaterialObject_GetComponentConstant
            printf '\tProperties\t%s\n\tComponentIds\t\n\tReturned values:\n\t\t%s\n' "${c%% *}" "${c#* }"
        done
        for v in 1.19E-05 -2.5E+20 1E+15 0.0001 123456.789; do
            header ICapeThermoMaterialObject_SetProp
            printf '\tProp       \ttemperature\n\tPhase    \tvapor\n\tCompIds   \tAll components\n'
            printf '\tCalcType\t\n\tBasis     \tmole\n\tValues\n\t\tAll :\t%s\n' "${v/./$sep}"
            printf '\t%s\n' "$(printf '%060d' 0 | tr 0 -)"
        done
    } >"$WORK/expected.txt"
    expect_report e2e_exponent "$WORK/expected.txt"

    # The writer keeps 4 decimals (CP0 2) and the exponent form of large values.
    line='NAME=Tiny;CAS=1-1-1;FAMILY=Test;FORMULA=X;TB=0;PC=-2.5E+20;TC=1E+15;OMEGA=0.0001;MW=123456.789;PCHOR=1;CP0=2;CP1=0.5;CP2=0;CP3=0;CP4=0;HF=-1;ILD=1'
    printf '\r\n%s\r\n' "${line//./$sep}" >"$WORK/expected.como"
    cmp -s "$saved" "$WORK/expected.como" ||
        { od -c "$saved" | head -20 >&2; fail "the file saved in $locale is not the writer's"; }
    echo "ok: $locale"
done
rm -f "$REPORTS/e2e_exponent.txt"
echo "PASS exponent form in both locales"
