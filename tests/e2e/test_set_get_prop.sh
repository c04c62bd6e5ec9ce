#!/usr/bin/env bash
# SetProp and GetProp from a VBScript host: values, refusals with number, source
# and description, the component-mismatch box once per creation, the report.
source "$(dirname "$0")/lib.sh" "$1"
rm -f "$REPORTS/e2e_props.txt"
run --como "$COMO" --report e2e_props --report "" --forms 2 -- vbs set_get_prop
expect "$WORK/client.out" "$WORK/autofill.out" "$REPORTS/e2e_props.txt"
