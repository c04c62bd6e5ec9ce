#!/usr/bin/env bash
# A VBScript host creates Korvid.Tessel, the form is filled unattended, the
# identification accessors answer and every call is traced byte for byte.
source "$(dirname "$0")/lib.sh" "$1"

rm -f "$REPORTS/e2e_ident.txt"
run_with_autofill --como "$(winpath "$DATA/three_components.como")" --report e2e_ident -- \
    run_vbs "$E2E_DIR/vbs/identification.vbs"
client_passed
grep -qx 'status: ' "$WORK/autofill.txt" && fail "empty status printed"

{
    header ICapeIdentification_ComponentName
    header ICapeIdentification_ComponentDescription
    header ICapeIdentification_ComponentName
    header ICapeIdentification_ComponentName
    header ICapeIdentification_ComponentDescription
    header ICapeIdentification_ComponentDescription
    printf '\tReturned values:\n\t\t74-82-8\n\t\t74-84-0\n\t\t7732-18-5\n'
    printf '\tReturned values:\n\t\t 111.66\n\t\t 184.55\n\t\t 373.15\n'
} >"$WORK/expected.txt"
expect_report e2e_ident "$WORK/expected.txt"
echo "PASS identification"
