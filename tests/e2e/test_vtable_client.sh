#!/usr/bin/env bash
# A C++ host through the vtables: COM identity, ISupportErrorInfo, the DISPIDs
# of each dual interface, NULL BSTRs, reference counts and DllCanUnloadNow.
source "$(dirname "$0")/lib.sh" "$1"

run_with_autofill --como "$(winpath "$DATA/three_components.como")" -- \
    wine "$BIN/korvid-e2e-vtable-client.exe" identity
client_passed
echo "PASS vtable client"
