#!/usr/bin/env bash
# Runs every benchmark: SetProp/GetProp against an empty call and a WriteFile
# (korvid-bench), the grid's paste and copy (korvid_form_bench), the grid
# control on 10 and 10,000 rows (korvid-grid-bench, on a virtual display),
# a whole headless run of korvid-validate on the sample flash drum unit, a
# creation through the real form filled by korvid-autofill,
# and the soak: a million traced calls with flat memory and a whole report
# (korvid-soak), and a million random calls per reporting mode (korvid-fuzz):
# of Korvid.Tessel through IDispatch, of Korvid.Material through IDispatch and
# through its vtables. Sets up and builds first. Exit code 0 when each ran and
# the soak's and the fuzzer's checks passed.
#   KORVID_SOAK_CALLS  calls of the soak (default 1000000)
#   KORVID_FUZZ_CALLS  calls of the fuzzer per reporting mode (default 1000000)
set -euo pipefail
source "$(dirname "$0")/prepare.sh"
bin="$(korvid_build_dir 64)/bin"
status=0
echo "== korvid-bench: SetProp and GetProp"
bash tools/bench/run.sh "$bin" || status=1
echo
echo "== korvid_form_bench: paste and copy"
(cd "$bin" && timeout 600 wine korvid_form_bench.exe) || status=1
echo
echo "== korvid-grid-bench: the grid control"
(cd "$bin" && timeout 600 wine korvid-grid-bench.exe) || status=1
echo
echo "== korvid-validate: a whole headless run of the sample flash drum, as a CI script starts it"
mkdir -p "$bin/CapeOpenValidationReports"
for dll in Korvid KorvidSampleUnit; do timeout 60 wine regsvr32 /s "$(winepath -w "$bin/$dll.dll")"; done
como="$(winepath -w "$KORVID_ROOT/tests/data/three_components.como")"
# validate_bench LABEL ARGS...: 7 timed runs of korvid-validate with ARGS, their median.
validate_bench() {
    local label=$1 runs=() sorted start
    shift
    validate_run() {
        timeout 60 wine "$bin/korvid-validate.exe" --unit Korvid.SampleFlashDrum --como "$como" \
            --report-prefix bench "$@" >/dev/null
    }
    validate_run "$@" || { echo "korvid-validate $label did not run cleanly" && status=1 && return; }
    for _ in 1 2 3 4 5 6 7; do
        start=$(date +%s%N) && validate_run "$@" && runs+=($((($(date +%s%N) - start) / 1000000)))
    done
    sorted=($(printf '%s\n' "${runs[@]}" | sort -n))
    echo "$label, 7 runs: ${runs[*]} ms; median ${sorted[3]} ms (target 1000 ms)"
}
validate_bench "every check, 1.0"
validate_bench "every check, --thermo both" --thermo both
timeout 60 wine regsvr32 /u /s "$(winepath -w "$bin/KorvidSampleUnit.dll")"
echo
echo "== korvid-autofill: a creation through the real form, the autofill filling it"
# A host that makes n objects one after another (the end-to-end client's
# probe) beside korvid-autofill filling their forms; the time of 21 creations
# less that of one, over 20: a creation without the programs' start.
forms_run() {
    local start probe
    start=$(date +%s%N)
    timeout 120 wine "$bin/korvid-e2e-host.exe" probe "$1" done >/dev/null 2>&1 &
    probe=$!
    timeout 120 wine "$bin/korvid-autofill.exe" --como "$como" --forms "$1" --timeout 100 \
        >"$bin/autofill-bench.out" || { echo "autofill: exit $?, $(cat "$bin/autofill-bench.out")" >&2 && return 1; }
    wait $probe || { echo "the probe: exit $?" >&2 && return 1; }
    echo $((($(date +%s%N) - start) / 1000000))
}
timeout 60 wine regsvr32 /s "$(winepath -w "$bin/Korvid.dll")"
per_form=()
for _ in 1 2 3; do
    one=$(forms_run 1) && many=$(forms_run 21) || { echo "a creation through the form failed" && status=1 && break; }
    per_form+=($(((many - one) / 20)))
done
if [ ${#per_form[@]} = 3 ]; then
    sorted=($(printf '%s\n' "${per_form[@]}" | sort -n))
    echo "3 rounds: ${per_form[*]} ms per creation; median ${sorted[1]} ms (target 100 ms)"
fi
echo
echo "== korvid-soak: a million traced calls"
(cd "$bin" && timeout 1800 wine korvid-soak.exe "${KORVID_SOAK_CALLS:-1000000}") || status=1
echo
echo "== korvid-fuzz: random calls of both classes, reporting off and on"
KORVID_FUZZ_CALLS="${KORVID_FUZZ_CALLS:-1000000}" bash tests/e2e/test_fuzz.sh "$bin" || status=1
if korvid_can_run_32bit; then
    echo "== korvid-fuzz, 32-bit"
    KORVID_BITS=32 KORVID_FUZZ_CALLS="${KORVID_FUZZ_CALLS:-1000000}" \
        bash tests/e2e/test_fuzz.sh "$(korvid_build_dir 32)/bin" || status=1
else
    echo "32-bit fuzzing skipped: this machine cannot execute 32-bit programs (the tests run it emulated)"
fi
korvid_stop_wine
exit $status
