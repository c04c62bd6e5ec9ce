#!/usr/bin/env bash
# Random calls by name through IDispatch::Invoke (korvid-fuzz.exe), reporting
# off and on, under Wine's heap checks: no crash, hang or heap warning, every
# check of the fuzzer passed. Korvid.Tessel, then Korvid.Material by name and
# through its vtables (the task allocator's blocks counted, so no BSTR cache).
# KORVID_FUZZ_CALLS: calls a run (20000), KORVID_FUZZ_SEED: the seed (fixed;
# printed for replay).
source "$(dirname "$0")/lib.sh" "$1"
calls="${KORVID_FUZZ_CALLS:-20000}"
# About 0.2 ms a call under the heap checks: allowed 0.5 ms, and the set-up.
export CLIENT_TIMEOUT=$((120 + calls / 2000))
for mode in "" --material "--material --vtable"; do
    for report in "" e2e_fuzz; do
        echo "== korvid-fuzz ${mode:-(Korvid.Tessel)}, reporting ${report:-off}"
        # The heap checks make 100,000-element lists slow: test_robustness.sh has them.
        args=(--calls "$calls" --seed "${KORVID_FUZZ_SEED:-20261206}" $mode)
        [[ "$mode" != *--vtable* ]] || args+=(--no-huge)
        if [ -n "$mode" ]; then export OANOCACHE=1; else unset OANOCACHE; fi
        WINEDEBUG=warn+heap run --como "$COMO" --report "$report" \
            --timeout "$(korvid_scaled "$CLIENT_TIMEOUT")" -- wine "$BIN/korvid-fuzz.exe" "${args[@]}"
        cat "$WORK/client.out"
        ! grep -E ':(warn|err):heap' "$WORK/client.out" "$WORK/autofill.out" >&2 ||
            fail "Wine's heap checks warned"
        passed
    done
done
