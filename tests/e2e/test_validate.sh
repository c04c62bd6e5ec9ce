#!/usr/bin/env bash
# korvid-validate hosts the sample flash drum with headless material objects,
# 0.9 (Korvid.Tessel) and 1.1 (Korvid.Material): a clean run of each exits 0
# with the expected printout and summary file, and so does one through the
# forms, with the reports the forms name; each way the unit can be made
# to misbehave (KORVID_SAMPLE_FAULT) exits 1 and names its finding in the
# summary file, alone, through either version where it applies; a window
# shown in Calculate is closed and named (Korvid's own box, shown for real
# through the forms, as Korvid's), a crash is reported (exit 4) with
# its minidump; --list shows the thermo versions the unit declares; a form
# nobody fills in outlasts --timeout (exit 3), left open for a person and no
# finding; bad arguments and a unit that is not registered exit 2; a missing
# reports folder is made, and one that cannot be stops the run. --thermo both
# runs each version and tags its findings; a version the unit refuses and
# does not claim is no finding.
# --checks chooses the checks beyond the life; a registration fault is
# registered for its row alone.
source "$(dirname "$0")/lib.sh" "$1"
regsvr() { timeout 60 wine "$REGSVR32" /s "$@" "$WIN_BIN\\KorvidSampleUnit.dll"; }
# The unit is unregistered on the way out: the other tests expect the
# interface keys that Korvid.dll alone writes.
trap 'regsvr /u; rm -rf "$WORK"; [ -d "$REPORTS" ] || { rm -f "$REPORTS"; mkdir -p "$REPORTS"; }' EXIT
regsvr
summary="$REPORTS/e2e-summary.txt"
class='{131D0C75-548C-4316-B6C8-797D7C73A288}'
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
# Korvid.Material takes the file in the units of the 1.1 constants.
unit11=(--unit Korvid.SampleFlashDrum --como "$(winpath "$DATA/three_components_si.como")" --report-prefix e2e --thermo 1.1)
validate clean11 "${unit11[@]}"
[ "$code" = 0 ] || { cat "$WORK/clean11.out" >&2; fail "a clean 1.1 run exited $code"; }
# The feed as a simulator hands it: its compounds' flows set, its phases
# present and flashed before Connect, in the report of its Korvid.Material.
cp "$REPORTS/e2e-Feed.txt" "$WORK/clean11_feed.txt"
expect "$WORK/clean11.out" "$WORK/clean11.summary" "$WORK/clean11_feed.txt"
# Through the real forms, filled by korvid-autofill as a person would: the
# unit works through material objects made with their forms, each port's
# object writes the report its form names, and the run is clean (the
# persistence check would make three more forms for its new instance).
rm -f "$REPORTS"/e2e_form_{feed,vapour,liquid}.txt "$summary"
run --como "$COMO" --forms 3 --report e2e_form_feed --report e2e_form_vapour --report e2e_form_liquid -- \
    wine "$BIN/korvid-validate.exe" --unit Korvid.SampleFlashDrum --como "$COMO" --form --checks report --report-prefix e2e
mv "$WORK/client.out" "$WORK/form.out"
tr -d '\r' <"$summary" | grep -qxF result=clean || { cat "$WORK/form.out" >&2; fail "a run through the forms was not clean"; }
expect "$WORK/form.out" "$REPORTS"/e2e_form_{feed,vapour,liquid}.txt
# Objects a person made with the forms show their boxes for real, not to the
# debugger output: a unit asking for compounds they do not have gets Korvid's
# box, named as Korvid's as the headless object's debugger line is, whoever
# answers it first: the watch, or korvid-autofill, which answers the boxes of
# the process it fills forms for.
rm -f "$summary"
KORVID_SAMPLE_FAULT=foreign-ids run --como "$COMO" --forms 3 --report "" --report "" --report "" -- \
    wine "$BIN/korvid-validate.exe" --unit Korvid.SampleFlashDrum --como "$COMO" --form --checks report --report-prefix e2e --timeout 20
tr -d '\r' <"$summary" | grep -qxF 'finding=Feed:message-box:Calculate, GetProp fraction: "Korvid" "Error MO Components do not match with PPP components"' ||
    { cat "$WORK/client.out" "$summary" >&2; fail "foreign-ids through the forms: Korvid's box not named as Korvid's"; }
# A P-H flash with the enthalpy named without a basis, as CO-LaN's examples
# write it, calculates to its end.
KORVID_SAMPLE_FLASH=ph validate ph11 "${unit11[@]}"
[ "$code" = 0 ] && grep -qxF result=clean "$WORK/ph11.summary" &&
    grep -qF "CalcEquilibrium pressure enthalpy" "$WORK/ph11.out" ||
    { cat "$WORK/ph11.out" >&2; fail "a 1.1 run with a P-H flash exited $code"; }
# Outlets written as other units write them run clean: their compounds' flows
# one SetProp each, which the record folds into one line; through 1.1 each
# outlet first a copy of the feed, the copy made from the object the feed
# stands for.
KORVID_SAMPLE_OUTLET=flows validate flows "${unit[@]}"
[ "$code" = 0 ] && grep -qxF result=clean "$WORK/flows.summary" &&
    grep -qxF "    SetProp flow: ok (3 times)" "$WORK/flows.out" ||
    { cat "$WORK/flows.out" >&2; fail "outlets given their compound flows: exit code $code"; }
KORVID_SAMPLE_OUTLET=copy validate copy11 "${unit11[@]}"
[ "$code" = 0 ] && grep -qxF result=clean "$WORK/copy11.summary" &&
    grep -qxF "    CopyFromMaterial Feed: ok" "$WORK/copy11.out" ||
    { cat "$WORK/copy11.out" >&2; fail "outlets begun as copies of the feed: exit code $code"; }

# KORVID_SAMPLE_FAULT | exit code | lines of the summary file or printout, "~" between them |
# arguments. A finding's count shows it fired alone.
cases=(
    "writes-inlet|1|finding=Feed:inlet-changed:SetProp temperature|${unit[*]}"
    "skips-outlet|1|finding=Liquid:outlet-unset:temperature|${unit[*]}"
    "calculates-invalid|1|Calculate: not called: Validate said invalid (--calculate-invalid calls it all the same)~findings=0|${unit[*]}"
    "calculates-invalid|1|finding=unit:calculated-invalid:Calculate succeeded after Validate said invalid~findings=1|${unit[*]} --calculate-invalid"
    "keeps-object|1|finding=Feed:object-kept:3 references held after Disconnect and Terminate|${unit[*]}"
    "wrong-connected|1|finding=Vapour:wrong-connected:connectedObject is another object|${unit[*]}"
    "bare-error|1|finding=unit:no-error-info:Calculate 0x80004005~    no IErrorInfo (the object answers no ISupportErrorInfo)|${unit[*]}"
    "no-addref|1|finding=Feed:connected-not-addrefed:get_connectedObject handed out the object without AddRef~findings=3|${unit[*]}"
    "over-release|1|finding=Feed:over-released:3 Releases more than the references taken, during Feed: Disconnect~findings=3|${unit[*]}"
    "ignores-error|1|finding=Liquid:error-ignored:GetProp vapourFraction: 0x800A0001 \"vapourFraction is not supported by this material object\"~findings=2|${unit[*]} --checks context,registry"
    "item-none|1|finding=unit:item-none:ports.Item(\"Feed\") answered S_OK with no object~failures=3~findings=3|${unit[*]}"
    "refuses-1.1|0|result=clean|${unit[*]}"
    "writes-inlet|1|finding=Feed:inlet-changed:SetOverallProp temperature|${unit11[*]}"
    "skips-outlet|1|finding=Liquid:outlet-unset:temperature|${unit11[*]}"
    "calculates-invalid|1|finding=unit:calculated-invalid:Calculate succeeded after Validate said invalid~findings=1|${unit11[*]} --calculate-invalid"
    "keeps-object|1|finding=Feed:object-kept:3 references held after Disconnect and Terminate|${unit11[*]}"
    "wrong-connected|1|finding=Vapour:wrong-connected:connectedObject is another object|${unit11[*]}"
    "bare-error|1|finding=unit:no-error-info:Calculate 0x80004005~    no IErrorInfo (the object answers no ISupportErrorInfo)|${unit11[*]}"
    "no-addref|1|finding=Liquid:connected-not-addrefed:get_connectedObject handed out the object without AddRef~findings=3|${unit11[*]}"
    "over-release|1|finding=Liquid:over-released:2 Releases more than the references taken, during Liquid: Disconnect~findings=3|${unit11[*]}"
    "ignores-error|1|finding=Vapour:error-ignored:CalcEquilibrium temperature pressure: 0x8004050F ECapeFailedInitialisation \"No phase is present.\"~findings=2|${unit11[*]} --checks context,registry"
    "refuses-1.1|1|finding=Feed:thermo-claim:the unit declares thermo 1.1, yet its Connect refused a Korvid.Material~Calculate: not called: port Feed is not connected~findings=3|${unit11[*]}"
    "|0|result=clean~findings=0~Thermo 1.1:|${unit[*]} --thermo both"
    "writes-inlet|1|finding=1.0/Feed:inlet-changed:SetProp temperature~finding=1.1/Feed:inlet-changed:SetOverallProp temperature~findings=2|${unit[*]} --thermo both --checks context"
    "refuses-1.1|1|finding=1.1/Feed:thermo-claim:the unit declares thermo 1.1, yet its Connect refused a Korvid.Material~failure=1.1/Validate:invalid~failures=4~findings=3|${unit[*]} --thermo both"
    "context-first|1|finding=unit:context-order:put simulationContext after Initialize: 0x80040511~findings=1|${unit[*]}"
    "context-first|0|result=clean|${unit[*]} --checks registry"
    "forgets-name|1|finding=unit:persistence-lost:ComponentName: \"U-1\" saved, \"Flash drum\" loaded~findings=1|${unit[*]}"
    "forgets-parameters|1|finding=unit:persistence-lost:parameter temperature: 650 saved, 300 loaded~finding=unit:persistence-lost:Liquid totalFlow: [0.25] saved, [0.5] loaded~findings=6|${unit11[*]}"
    "stays-dirty|1|finding=unit:dirty-after-save:IPersistStreamInit::IsDirty answered S_OK after Save(stream, TRUE)~findings=1|${unit11[*]}"
    "load-fails|1|finding=unit:persistence-failed:IPersistStreamInit::Load 0x80040501~findings=1|${unit[*]}"
    "load-fails|0|result=clean|${unit[*]} --checks context,registry"
    "drifts|1|finding=Vapour:resolve-differs:Calculate again on the same connections: temperature [301], first [300]~findings=4|${unit[*]} --checks resolve,parameters,report,context,registry"
    "drifts|1|finding=Liquid:resolve-differs:Calculate after ClearAllProps on every outlet: temperature [303], first [300]~findings=6|${unit11[*]} --checks resolve"
    "report-fails|1|finding=unit:report-failed:ProduceReport \"Streams\" 0x80040501~findings=1|${unit[*]}"
    "report-fails|0|result=clean|${unit[*]} --checks resolve,persistence,context,registry"
    "unchecked-parameter|1|finding=unit:parameter-unchecked:temperature 1009 (above its upper bound 1000): its Validate said valid~finding=unit:parameter-unchecked:vapourFraction 1.01 (above its upper bound 1): the unit's Validate said valid~findings=4|${unit[*]}"
    "changes-input|1|finding=unit:input-changed:temperature: 301 before Calculate, 302 after~findings=1|${unit11[*]} --checks parameters"
    "stale-valstatus|1|finding=unit:valstatus-stale:ValStatus still CAPE_VALID after put value of vapourFraction~finding=unit:valstatus-stale:ValStatus still CAPE_VALID after Feed: Connect~findings=3|${unit11[*]}"
    "stale-valstatus|0|result=clean|${unit[*]} --checks resolve,report,persistence,context,registry"
    "bad-default|1|finding=unit:bounds-inconsistent:temperature: default 1200 outside [100, 1000]~finding=unit:bounds-inconsistent:vapourFraction: default 1.5 outside [0, 1]~findings=2|${unit[*]}"
    "no-reconnect|1|finding=Feed:reconnect-fails:Disconnect and Connect again: 0x80040511~Calculate: not called: a port did not connect again~findings=3|${unit[*]}"
    "no-progid|1|finding=unit:registry-progid:HKCR\\CLSID\\$class\\ProgID is missing~findings=1|${unit[*]}"
    "no-threadingmodel|1|finding=unit:registry-inprocserver32:HKCR\\CLSID\\$class\\InprocServer32 has no ThreadingModel~findings=1|${unit11[*]}"
    "no-unit-category|1|finding=unit:registry-category:HKCR\\CLSID\\$class\\Implemented Categories\\{678C09A5-7D66-11D2-A67D-00105A42887F} (unit operation) is missing~findings=1|${unit[*]}"
    "no-helpurl|1|finding=unit:registry-capedescription:HKCR\\CLSID\\$class\\CapeDescription has no value HelpURL~findings=1|${unit[*]}"
    "no-typelib|1|finding=unit:registry-typelib:HKCR\\CLSID\\$class\\TypeLib names no type library~findings=1|${unit[*]}"
    "no-typelib|0|result=clean~findings=0|${unit[*]} --checks context"
    "|0|    Thermo: 1.0 1.1|--list"
    "shows-window|1|finding=unit:unit-window:Calculate: #32770 \"Sample flash drum\" \"The drum is about to calculate.\", closed with OK|${unit11[*]} --timeout 20"
    "foreign-ids|1|finding=Feed:message-box:Calculate, GetProp fraction: \"Korvid\" \"Error MO Components do not match with PPP components\"|${unit[*]} --timeout 20"
    "overflows-stack|4|crash_exception=0xC00000FD stack overflow|${unit11[*]}"
    "throws|4|crash_exception=0x40000015 abort(): the C runtime ended the process (a C++ exception nobody caught, or an assertion)|${unit[*]}"
    "wild-pointer|4|crash: the fault is in Korvid.dll, in the unit's call Feed: GetNumComponents: a Korvid bug, please report it with the minidump (unless the unit gave that call a pointer that is not valid)|${unit[*]}"
    "|3|result=timeout~findings=0|--unit Korvid.SampleFlashDrum --form --timeout 2 --report-prefix e2e"
    "|2|korvid-validate: unknown argument \"--bogus\"|--bogus ${unit[*]}"
    "|2|korvid-validate: --thermo takes 1.0, 1.1 or both|${unit[*]} --thermo 0.9"
    "|2|korvid-validate: --checks: unknown check \"life\" (resolve, parameters, report, persistence, context, registry)|${unit[*]} --checks context,life"
    "|2|korvid-validate: --checks: registry given twice|${unit[*]} --checks registry,registry"
    "|2|error=--feed gives 2 fractions for 3 components|${unit[*]} --feed x=0.5:0.5"
    "|2|error=no unit is registered as No.Such.Unit|--unit No.Such.Unit --como $COMO --report-prefix e2e"
    "|2|error=the unit is not registered: {00000000-0000-0000-0000-00000000D0D0}|--unit {00000000-0000-0000-0000-00000000D0D0} --como $COMO --report-prefix e2e"
)
# A crash in Calculate: exit 4, the call, the exception and the unit's module
# named, the record up to the crash printed, the minidump beside the summary
# and Korvid's report lines of the calls before it on disk. The next run,
# whose message box is closed well before --timeout, leaves no minidump.
dump="$REPORTS/e2e-crash.dmp"
KORVID_SAMPLE_FAULT=crashes validate crash "${unit[@]}"
for line in result=crashed crash_call=Calculate crash_module=KorvidSampleUnit.dll \
    "crash_exception=0xC0000005 access violation writing address 0x0" \
    "minidump=$(winpath "$dump")" "crash: in KorvidSampleUnit.dll at offset 0x" "    GetProp fraction: ok"; do
    grep -qF "$line" "$WORK/crash.summary" "$WORK/crash.out" ||
        { cat "$WORK/crash.out" "$WORK/crash.summary" >&2; fail "crashes: no \"$line\""; }
done
[ "$code" = 4 ] && [ -s "$dump" ] && grep -q "GetProp" "$REPORTS/e2e-Liquid.txt" ||
    { cat "$WORK/crash.out" >&2; fail "crashes: exit code $code, a minidump and the report's lines expected"; }
KORVID_SAMPLE_FAULT=shows-window validate window "${unit[@]}" --timeout 20
[ "$code" = 1 ] && [ ! -e "$dump" ] &&
    grep -qxF 'finding=unit:unit-window:Calculate: #32770 "Sample flash drum" "The drum is about to calculate.", closed with OK' "$WORK/window.summary" ||
    { cat "$WORK/window.out" >&2; fail "shows-window: exit code $code, the window's finding and no minidump expected"; }

for row in "${cases[@]}"; do
    IFS='|' read -r fault exit lines args <<<"$row"
    registered=0
    [[ "$fault" == no-* ]] && registered=1 && regsvr /u && KORVID_SAMPLE_FAULT="$fault" regsvr
    KORVID_SAMPLE_FAULT="$fault" validate case $args
    [ "$registered" = 0 ] || { regsvr /u && regsvr; }
    found=1
    IFS='~' read -ra wanted <<<"$lines"
    for line in "${wanted[@]}"; do
        grep -qxF -- "$line" "$WORK/case.summary" "$WORK/case.out" || found=0
    done
    [ "$code" = "$exit" ] && [ "$found" = 1 ] ||
        { cat "$WORK/case.out" "$WORK/case.summary" >&2; fail "${fault:-$args}: exit code $code, expected $exit and \"$lines\""; }
done

# --thermo both with a unit whose categories claim 1.0 alone: its refusal
# of 1.1 says it handles 1.0 only, which is no finding.
wine reg delete "HKCR\\CLSID\\$class\\Implemented Categories\\{4667023A-5A8E-4CCA-AB6D-9D78C5112FED}" /f /reg:"$bits" >/dev/null 2>&1
KORVID_SAMPLE_FAULT=refuses-1.1 validate only10 "${unit[@]}" --thermo both
regsvr /u && regsvr
[ "$code" = 0 ] && grep -qxF result=clean "$WORK/only10.summary" &&
    grep -qF "Thermo 1.1: the unit handles only the other version" "$WORK/only10.out" ||
    { cat "$WORK/only10.out" "$WORK/only10.summary" >&2; fail "refuses-1.1, 1.1 not claimed, --thermo both: exit code $code"; }

# --junit: the XML valid by the JUnit schema CI servers read (tests/data/junit.xsd,
# xmllint); a suite per version, a case per check and the life, a failure per
# finding in its case, the printout in system-out.
KORVID_SAMPLE_FAULT=writes-inlet validate junit "${unit[@]}" --thermo both --checks context,registry --junit "$WIN_WORK\\run.xml"
xmllint --noout --schema "$DATA/junit.xsd" "$WORK/run.xml" 2>"$WORK/xmllint.out" &&
    [ "$code" = 1 ] && [ "$(grep -c '<testsuite ' "$WORK/run.xml")" = 2 ] &&
    [ "$(grep -c '<testcase ' "$WORK/run.xml")" = 6 ] &&
    [ "$(grep -c '<failure ' "$WORK/run.xml")" = 2 ] &&
    grep -qF '<testsuite name="Korvid.SampleFlashDrum thermo 1.1" tests="3" failures="1" errors="0">' "$WORK/run.xml" &&
    grep -qF '<failure message="1.0/Feed: inlet-changed: SetProp temperature" type="inlet-changed">' "$WORK/run.xml" &&
    grep -A1 -xF 'Check registry: 0 findings' "$WORK/run.xml" | grep -qxF '</system-out>' &&
    grep -qF '<system-out>Thermo 1.1:' "$WORK/run.xml" ||
    { cat "$WORK/junit.out" "$WORK/xmllint.out" "$WORK/run.xml" >&2; fail "--junit: exit code $code"; }

# The reports folder: made when it is missing; when a file stands in its
# place the run stops at once and names it.
rm -rf "$REPORTS"
validate made "${unit[@]}"
[ "$code" = 0 ] && [ -d "$REPORTS" ] || { cat "$WORK/made.out" >&2; fail "a missing reports folder was not made (exit $code)"; }
rm -rf "$REPORTS" && touch "$REPORTS"
validate blocked "${unit[@]}"
rm -f "$REPORTS" && mkdir -p "$REPORTS"
grep -qxF 'The host could not run: the reports folder <BIN>\CapeOpenValidationReports is a file' "$WORK/blocked.out" &&
    [ "$code" = 2 ] && ! grep -q '^create the unit' "$WORK/blocked.out" ||
    { cat "$WORK/blocked.out" >&2; fail "a file in the reports folder's place: exit $code"; }

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
