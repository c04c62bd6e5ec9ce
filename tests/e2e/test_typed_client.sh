#!/usr/bin/env bash
# A C++ host through the vtables and IDispatch: typed results, HRESULTs with
# their error information, references. Reporting is off until the created
# and the duplicated objects' forms name their reports.
source "$(dirname "$0")/lib.sh" "$1"
rm -f "$REPORTS"/e2e_typed*.txt
run --como "$COMO" --report "" --report e2e_typed --report e2e_typed2 --forms 3 -- wine "$BIN/korvid-e2e-host.exe" typed
expect "$WORK/client.out" "$WORK/autofill.out" "$REPORTS"/e2e_typed{,2}.txt
