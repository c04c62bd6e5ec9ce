#!/usr/bin/env bash
# korvid-validate hosts the sample flash drum with headless material objects,
# 0.9 (Korvid.Tessel) and 1.1 (Korvid.Material): a clean run of each exits 0
# with the expected printout and summary file; each way the unit can be made
# to misbehave (KORVID_SAMPLE_FAULT) exits 1 and names its finding in the
# summary file, through either version; a form nobody fills in outlasts --timeout
# (exit 3); bad arguments and a unit that is not registered exit 2.
source "$(dirname "$0")/lib.sh" "$1"
regsvr() { timeout 60 wine "$REGSVR32" /s "$@" "$WIN_BIN\\KorvidSampleUnit.dll"; }
# The unit is unregistered on the way out: the other tests expect the
# interface keys that Korvid.dll alone writes.
trap 'regsvr /u; rm -rf "$WORK"' EXIT
regsvr
summary="$REPORTS/e2e-summary.txt"
unit=(--unit Korvid.SampleFlashDrum --como "$COMO" --report-prefix e2e)

# validate NAME ARGS...: the run's printout in $WORK/NAME.out, its summary
# file in $WORK/NAME.summary; the exit code in $code.
validate() {
    rm -f "$summary"
    code=0
    timeout 120 wine "$BIN/korvid-validate.exe" "${@:2}" 2>&1 | norm >"$WORK/$1.out" || code=$?
    { tr -d '\r' <"$summary" || echo "no summary file"; } >"$WORK/$1.summary" 2>/dev/null
}

validate clean "${unit[@]}"
[ "$code" = 0 ] || { cat "$WORK/clean.out" >&2; fail "a clean run exited $code"; }
expect "$WORK/clean.out" "$WORK/clean.summary"
validate clean11 "${unit[@]}" --thermo 1.1
[ "$code" = 0 ] || { cat "$WORK/clean11.out" >&2; fail "a clean 1.1 run exited $code"; }
expect "$WORK/clean11.out" "$WORK/clean11.summary"

# KORVID_SAMPLE_FAULT | exit code | a line of the summary file (or printout) | arguments
cases=(
    "writes-inlet|1|finding=Feed:inlet-changed:SetProp temperature|${unit[*]}"
    "skips-outlet|1|finding=Liquid:outlet-unset:temperature|${unit[*]}"
    "calculates-invalid|1|finding=unit:calculated-invalid:Calculate succeeded after Validate said invalid|${unit[*]}"
    "keeps-object|1|finding=Feed:object-kept:1 reference held after Disconnect and Terminate|${unit[*]}"
    "wrong-connected|1|finding=Vapour:wrong-connected:connectedObject is another object|${unit[*]}"
    "bare-error|1|finding=unit:no-error-info:Calculate 0x80004005|${unit[*]}"
    "writes-inlet|1|finding=Feed:inlet-changed:SetOverallProp temperature|${unit[*]} --thermo 1.1"
    "skips-outlet|1|finding=Liquid:outlet-unset:temperature|${unit[*]} --thermo 1.1"
    "calculates-invalid|1|finding=unit:calculated-invalid:Calculate succeeded after Validate said invalid|${unit[*]} --thermo 1.1"
    "keeps-object|1|finding=Feed:object-kept:1 reference held after Disconnect and Terminate|${unit[*]} --thermo 1.1"
    "wrong-connected|1|finding=Vapour:wrong-connected:connectedObject is another object|${unit[*]} --thermo 1.1"
    "bare-error|1|finding=unit:no-error-info:Calculate 0x80004005|${unit[*]} --thermo 1.1"
    "|3|result=timeout|--unit Korvid.SampleFlashDrum --form --timeout 2 --report-prefix e2e"
    "|2|korvid-validate: unknown argument \"--bogus\"|--bogus ${unit[*]}"
    "|2|korvid-validate: --thermo takes 1.0 or 1.1|${unit[*]} --thermo 0.9"
    "|2|error=--feed gives 2 fractions for 3 components|${unit[*]} --feed x=0.5:0.5"
    "|2|error=no unit is registered as No.Such.Unit|--unit No.Such.Unit --como $COMO --report-prefix e2e"
    "|2|error=the unit is not registered: {00000000-0000-0000-0000-00000000D0D0}|--unit {00000000-0000-0000-0000-00000000D0D0} --como $COMO --report-prefix e2e"
)
for row in "${cases[@]}"; do
    IFS='|' read -r fault exit line args <<<"$row"
    KORVID_SAMPLE_FAULT="$fault" validate case $args
    [ "$code" = "$exit" ] && grep -qxF "$line" "$WORK/case.summary" "$WORK/case.out" ||
        { cat "$WORK/case.out" "$WORK/case.summary" >&2; fail "${fault:-$args}: exit code $code, expected $exit and \"$line\""; }
done

# literal-text: its finding alone, and Korvid's refusal of the literal (the
# unit's Calculate fails with it), not a crash.
for row in "GetProp|1.0" "GetOverallProp|1.1"; do
    IFS='|' read -r operation thermo <<<"$row"
    KORVID_SAMPLE_FAULT=literal-text validate literal "${unit[@]}" --thermo "$thermo"
    [ "$code" = 1 ] && [ "$(grep -c '^finding=' "$WORK/literal.summary")" = 1 ] &&
        grep -qxF "finding=Feed:not-a-bstr:$operation argument 1 is not a BSTR (a literal?)" "$WORK/literal.summary" &&
        grep -qF 'property (argument 1) is not a BSTR (a literal?)' "$WORK/literal.out" ||
        { cat "$WORK/literal.out" "$WORK/literal.summary" >&2; fail "literal-text through $thermo"; }
done
