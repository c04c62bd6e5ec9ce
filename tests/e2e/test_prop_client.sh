#!/usr/bin/env bash
# SetProp and GetProp from a C++ host through the vtable with typed arrays:
# results checked element by element, refusals by HRESULT and IErrorInfo.
source "$(dirname "$0")/lib.sh" "$1"
source "$E2E_DIR/trace_lines.sh"

run_with_autofill --como "$(winpath "$DATA/three_components.como")" -- \
    wine "$BIN/korvid-e2e-prop-client.exe"
client_passed
[ "$(count_messages "Korvid: Error MO Components do not match with PPP components")" = 1 ] ||
    fail "expected one mismatch box: $(cat "$WORK/autofill.txt")"
echo "PASS prop client"
