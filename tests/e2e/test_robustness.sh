#!/usr/bin/env bash
# Every operation with a generated mix of bad arguments, through the vtables
# and IDispatch: no crash, errors as HRESULTs with IErrorInfo, no leak.
# Once with reporting off and every argument shape (100,000-element lists
# included), once with reporting on and the shapes of ordinary size.
source "$(dirname "$0")/lib.sh" "$1"

# Freed BSTRs must reach the task allocator for the leak count to see them.
export OANOCACHE=1
como="$(winpath "$DATA/three_components.como")"
# One form for the object, one for Duplicate's nested creation, one for CreateMaterialObject.
for run in off on; do
    rm -f "$REPORTS/robustness.txt"
    if [ "$run" = off ]; then
        CLIENT_TIMEOUT=300 run_with_autofill --como "$como" --forms 3 --timeout 300 -- \
            wine "$BIN/korvid-e2e-robustness.exe"
    else
        CLIENT_TIMEOUT=300 run_with_autofill --como "$como" --report robustness --forms 3 --timeout 300 -- \
            wine "$BIN/korvid-e2e-robustness.exe" --no-huge
    fi
    echo "== reporting $run"
    grep -E '^(robustness|outcome)' "$WORK/client.txt"
    grep '^message:' "$WORK/autofill.txt" | sort | uniq -c
    client_passed
done
rm -f "$REPORTS/robustness.txt"
echo "PASS robustness"
