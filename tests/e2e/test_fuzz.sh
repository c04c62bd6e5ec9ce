#!/usr/bin/env bash
# Random calls by name through IDispatch::Invoke (korvid-fuzz.exe), reporting
# off and on, under Wine's heap checks: no crash, hang or heap warning, every
# check of the fuzzer passed. KORVID_FUZZ_CALLS: calls a run (20000),
# KORVID_FUZZ_SEED: the seed (fixed; printed for replay).
source "$(dirname "$0")/lib.sh" "$1"
calls="${KORVID_FUZZ_CALLS:-20000}"
# About 0.2 ms a call under the heap checks: allowed 0.5 ms, and the set-up.
export CLIENT_TIMEOUT=$((120 + calls / 2000))
for report in "" e2e_fuzz; do
    WINEDEBUG=warn+heap run --como "$COMO" --report "$report" --timeout "$(korvid_scaled "$CLIENT_TIMEOUT")" -- \
        wine "$BIN/korvid-fuzz.exe" --calls "$calls" --seed "${KORVID_FUZZ_SEED:-20261206}"
    cat "$WORK/client.out"
    ! grep -E ':(warn|err):heap' "$WORK/client.out" "$WORK/autofill.out" >&2 || fail "Wine's heap checks warned"
    passed
done
