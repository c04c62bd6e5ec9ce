#!/usr/bin/env bash
# A VBScript host creates Korvid.Tessel, the form is filled unattended, the
# identification accessors and public members answer, and every call is traced.
# A second object's form opens a second report, which then receives the
# first object's calls too.
source "$(dirname "$0")/lib.sh" "$1"

rm -f "$REPORTS"/e2e_ident*.txt
run --como "$COMO" --report e2e_ident --report e2e_ident2 --forms 2 -- vbs identification
expect "$WORK/client.out" "$WORK/autofill.out" "$REPORTS/e2e_ident.txt" "$REPORTS/e2e_ident2.txt"
echo "PASS identification"
