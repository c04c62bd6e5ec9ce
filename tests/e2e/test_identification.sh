#!/usr/bin/env bash
# A VBScript host: identification and public members, traced; a second
# object's form opens a second report, which the first object's calls reach.
source "$(dirname "$0")/lib.sh" "$1"
rm -f "$REPORTS"/e2e_ident*.txt
run --como "$COMO" --report e2e_ident --report e2e_ident2 --forms 2 -- vbs identification
expect "$WORK/client.out" "$WORK/autofill.out" "$REPORTS"/e2e_ident{,2}.txt
