#!/usr/bin/env bash
# Every operation with bad arguments through the vtables (korvid-fuzz.exe
# --vtable), of Korvid.Tessel and of Korvid.Material: no crash, errors as
# HRESULTs with their error information, no leak. Reporting off with
# 100,000-element lists, then on without them.
source "$(dirname "$0")/lib.sh" "$1"
# Freed BSTRs must reach the task allocator for the leak count to see them.
export OANOCACHE=1 CLIENT_TIMEOUT=300
for class in "" --material; do
    for report in "" e2e_robustness; do
        run --como "$COMO" --report "$report" --timeout "$(korvid_scaled 300)" -- \
            wine "$BIN/korvid-fuzz.exe" --vtable --calls 6000 --seed 20261206 $class \
            ${report:+--no-huge}
        cat "$WORK/client.out"
        passed
    done
done
