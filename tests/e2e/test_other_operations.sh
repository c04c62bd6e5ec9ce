#!/usr/bin/env bash
# The other operations from a VBScript host, with the nested forms of the
# cloning operations (a report each), then the ids in CAS mode.
source "$(dirname "$0")/lib.sh" "$1"
rm -f "$REPORTS"/e2e_ops*.txt
run --como "$COMO" --report e2e_ops --report e2e_ops_dup --report e2e_ops_new --forms 3 -- vbs other_operations name
expect "$WORK/client.out" "$WORK/autofill.out" "$REPORTS"/e2e_ops{,_dup,_new}.txt
run --como "$COMO" --cas --report e2e_ops_cas -- vbs other_operations cas
mv "$WORK/client.out" "$WORK/cas.out" && mv "$WORK/autofill.out" "$WORK/cas_autofill.out"
expect "$WORK/cas.out" "$WORK/cas_autofill.out" "$REPORTS/e2e_ops_cas.txt"
