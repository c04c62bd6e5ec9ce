#!/usr/bin/env bash
# Every operation through the vtables and SetProp/GetProp through IDispatch
# with bad arguments: no crash, errors as HRESULTs with their error
# information, no leak. Reporting off with 100,000-element lists, then on.
source "$(dirname "$0")/lib.sh" "$1"

# Freed BSTRs must reach the task allocator for the leak count to see them.
export OANOCACHE=1 CLIENT_TIMEOUT=300
for report in "" robustness; do
    run --como "$COMO" --report "$report" --forms 3 --timeout 300 -- wine "$BIN/korvid-e2e-robustness.exe" ${report:+--no-huge}
    grep -E '^(outcome|FAIL)' "$WORK/client.out" || true
    passed
done
rm -f "$REPORTS/robustness.txt"
echo "PASS robustness"
