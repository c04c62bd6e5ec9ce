#!/usr/bin/env bash
# Random calls by name through IDispatch::Invoke (korvid-fuzz.exe), once with
# reporting off and once on, under Wine's heap checks: no crash, no hang, no
# heap warning, every check of the fuzzer passed (errors, results after a
# failure, flat memory, references given back).
#   KORVID_FUZZ_CALLS  calls per run (default 20000)
#   KORVID_FUZZ_SEED   seed (default fixed; the fuzzer prints it for replay)
source "$(dirname "$0")/lib.sh" "$1"

calls="${KORVID_FUZZ_CALLS:-20000}"
seed="${KORVID_FUZZ_SEED:-20261206}"
como="$(winpath "$DATA/three_components.como")"
# About 0.2 ms per call under the heap checks: allowed 0.5 ms, plus the set-up.
export CLIENT_TIMEOUT=$((120 + calls / 2000))
for run in off on; do
    rm -f "$REPORTS/fuzz.txt"
    report=()
    [ "$run" = on ] && report=(--report fuzz)
    WINEDEBUG=warn+heap run_with_autofill --como "$como" "${report[@]}" --timeout "$CLIENT_TIMEOUT" -- \
        wine "$BIN/korvid-fuzz.exe" --calls "$calls" --seed "$seed"
    echo "== reporting $run"
    grep -E '^(korvid-fuzz|calls|outcome|memory|CRASH|HANG|FAIL)' "$WORK/client.txt" | head -80
    grep "^message:" "$WORK/autofill.txt" | sort | uniq -c || true
    if grep -E ':(warn|err):heap' "$WORK/client.txt" "$WORK/autofill.txt" >"$WORK/heap.txt"; then
        head -20 "$WORK/heap.txt" >&2
        fail "Wine's heap checks reported $(wc -l <"$WORK/heap.txt") warnings"
    fi
    echo "heap warnings: none"
    client_passed
done
rm -f "$REPORTS/fuzz.txt"
echo "PASS fuzz"
