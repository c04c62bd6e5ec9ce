#!/usr/bin/env bash
# Calls from another apartment through the registered type library: the
# object made in one STA thread answers a second STA thread's calls (arrays,
# a refused call's error information, identification, IDispatch). Then the
# second thread makes an object of its own, with a report: each apartment
# thread keeps its own report settings, so the first thread's object (no
# report) goes on untraced and the second report holds the second thread's
# call alone; and the process still ends.
source "$(dirname "$0")/lib.sh" "$1"

rm -f "$REPORTS/apart2.txt"
run_with_autofill --como "$(winpath "$DATA/three_components.como")" --forms 2 \
    --report "" --report apart2 -- wine "$BIN/korvid-e2e-apartments.exe"
cat "$WORK/client.txt"
client_passed
header ICapeIdentification_ComponentName >"$WORK/expected.txt"
expect_report apart2 "$WORK/expected.txt"
rm -f "$REPORTS/apart2.txt"
echo "PASS apartments"
