#!/usr/bin/env bash
# Two objects in one thread: each creation shows the form; the report switch
# and file number are shared, so the later report receives every later call.
source "$(dirname "$0")/lib.sh" "$1"

rm -f "$REPORTS/e2e_two.txt"
run_with_autofill --como "$(winpath "$DATA/three_components.como")" --report e2e_two --forms 2 -- \
    run_vbs "$E2E_DIR/vbs/two_objects.vbs"
client_passed
# Both forms were named e2e_two: the second OK empties the file again, so it
# holds the calls made after the second creation only.
{
    header ICapeIdentification_ComponentDescription
    header ICapeIdentification_ComponentName
} >"$WORK/expected.txt"
expect_report e2e_two "$WORK/expected.txt"
echo "PASS two objects"
