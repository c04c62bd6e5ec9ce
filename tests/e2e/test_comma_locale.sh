#!/usr/bin/env bash
# The whole path of numbers in a locale whose decimal separator is a comma
# (de_DE, LCID 0x0407): a .como file with comma decimals loads through the
# real form, the constants reach the object, traced numbers use the comma,
# the grid shows the comma, and a file saved from the form has commas.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 ||
        { echo "FAIL: the locale de_DE.UTF-8 is missing (tools/scripts/setup.sh makes it)" >&2; exit 1; }
fi
export LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8
source "$(dirname "$0")/lib.sh" "$1"

como="$(winpath "$DATA/three_components_comma.como")"
saved="$WORK/saved.como"
rm -f "$REPORTS/e2e_comma.txt"
run_with_autofill --como "$como" --save "$saved" --report e2e_comma -- \
    run_vbs "$E2E_DIR/vbs/comma_locale.vbs"
client_passed

# displayRetVal always writes "." (its conversion is not the locale's);
# the values prove that "111,66" was read as 111.66.
{
    header ICapeThermoMaterialObject_GetComponentConstant
    printf '\tProperties\tnormalBoilingPoint\n\tComponentIds\t\n'
    printf '\tReturned values:\n\t\t 111.66\n\t\t 184.55\n\t\t 373.15\n'
    header ICapeThermoMaterialObject_SetIndependent
    printf '\tIndVars\ttemperature\n\tvalues\t300,5\n'
    header ICapeThermoMaterialObject_SetProp
    printf '\tProp       \tfraction\n\tPhase    \tvapor\n\tCompIds   \tAll components\n'
    printf '\tCalcType\t\n\tBasis     \tmole\n\tValues\n'
    printf '\t\t74-82-8:\t0,25\n\t\t74-84-0:\t0,25\n\t\t7732-18-5:\t0,5\n'
    printf '\t%s\n' "$(printf '%060d' 0 | tr 0 -)"
    header ICapeThermoMaterialObject_GetNumComponents
    printf '\tReturned value:\t3\n'
} >"$WORK/expected.txt"
expect_report e2e_comma "$WORK/expected.txt"
rm -f "$REPORTS/e2e_comma.txt"

# The file saved from the grid in this locale: commas, truncated as the writer does.
[ -f "$saved" ] || fail "the form saved no file at $saved"
tr -d '\r' <"$saved" >"$WORK/saved.txt"
[ "$(head -c 2 "$saved" | od -An -c | tr -d ' ')" = '\r\n' ] || fail "the saved file does not start with an empty line"
grep -qF 'NAME=Methane;CAS=74-82-8;FAMILY=Alkane;FORMULA=CH4;TB=111,66;PC=45,99;TC=190,56;OMEGA=0,0115;MW=16,043;PCHOR=73,2;CP0=19,25;CP1=0,0521;CP2=0;CP3=0;CP4=0;HF=-74,52;ILD=0,4224' \
    "$WORK/saved.txt" || { cat "$WORK/saved.txt" >&2; fail "the saved Methane line"; }
grep -qF 'NAME=Water;CAS=7732-18-5;FAMILY=Inorganic;FORMULA=H2O;TB=373,15;PC=220,64;TC=647,1;OMEGA=0,3449;MW=18,015;PCHOR=52;CP0=32,24;CP1=0,0019;' \
    "$WORK/saved.txt" || { cat "$WORK/saved.txt" >&2; fail "the saved Water line"; }
grep -q '[0-9]\.[0-9]' "$WORK/saved.txt" && fail "a number with a point in the saved file"

# The grid: korvid-form-check reads the cells of a real form after a Load.
timeout 90 wine "$BIN/korvid-form-probe.exe" --deadline 80 >"$WORK/probe.out" 2>/dev/null &
probe=$!
rc=0
timeout 60 wine "$BIN/korvid-form-check.exe" load "$como" --wait 30 >"$WORK/check.out" 2>&1 || rc=$?
timeout 30 wine "$BIN/korvid-form-check.exe" ok >>"$WORK/check.out" 2>&1 || rc=$?
wait "$probe" || true
tr -d '\r' <"$WORK/check.out"
[ "$rc" = 0 ] || fail "the grid did not show the loaded numbers with a comma"
grep -q '^decimal separator: ,' "$WORK/check.out" || fail "the grid was not checked for commas"
grep -q '^ok: cell (1, 4)' "$WORK/check.out" || fail "no check of the TB cell"
grep -qF 'created: Methane,Ethane,Water' "$WORK/probe.out" || fail "the probe's creation did not complete"
echo "PASS comma locale"
