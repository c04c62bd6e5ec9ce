#!/usr/bin/env bash
# Every operation with a generated mix of bad arguments, through the vtables
# and IDispatch: no crash, errors as HRESULTs with IErrorInfo, no leak.
source "$(dirname "$0")/lib.sh" "$1"

# Freed BSTRs must reach the task allocator for the leak count to see them.
export OANOCACHE=1
rm -f "$REPORTS/robustness.txt"
# One form for the object, one for Duplicate's nested creation, one for CreateMaterialObject.
CLIENT_TIMEOUT=600 run_with_autofill --como "$(winpath "$DATA/three_components.como")" --report robustness \
    --forms 3 --timeout 500 -- wine "$BIN/korvid-e2e-robustness.exe"
grep -E '^(robustness|outcome)' "$WORK/client.txt"
grep '^message:' "$WORK/autofill.txt" | sort | uniq -c
client_passed
rm -f "$REPORTS/robustness.txt"
echo "PASS robustness"
