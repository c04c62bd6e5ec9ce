#!/usr/bin/env bash
# Random calls by name through IDispatch::Invoke (korvid-fuzz.exe), with
# reporting off and on, under Wine's heap checks: no crash, no hang, no heap
# warning, every check of the fuzzer passed.
#   KORVID_FUZZ_CALLS  calls per run (default 20000)
#   KORVID_FUZZ_SEED   seed (default fixed; the fuzzer prints it for replay)
source "$(dirname "$0")/lib.sh" "$1"

calls="${KORVID_FUZZ_CALLS:-20000}"
# About 0.2 ms per call under the heap checks: allowed 0.5 ms, plus the set-up.
export CLIENT_TIMEOUT=$((120 + calls / 2000))
for report in "" fuzz; do
    rm -f "$REPORTS/fuzz.txt"
    WINEDEBUG=warn+heap run --como "$COMO" --report "$report" --timeout "$CLIENT_TIMEOUT" -- \
        wine "$BIN/korvid-fuzz.exe" --calls "$calls" --seed "${KORVID_FUZZ_SEED:-20261206}"
    echo "== report \"$report\""
    grep -E '^(korvid-fuzz|calls|outcome|memory|CRASH|HANG|FAIL)' "$WORK/client.out" | head -80
    if grep -E ':(warn|err):heap' "$WORK/client.out" "$WORK/autofill.out" >"$WORK/heap.txt"; then
        head -20 "$WORK/heap.txt" >&2
        fail "Wine's heap checks reported $(wc -l <"$WORK/heap.txt") warnings"
    fi
    passed
done
rm -f "$REPORTS/fuzz.txt"
echo "PASS fuzz"
