#!/usr/bin/env bash
# Calls from another apartment through the registered type library: the
# object made in one STA thread answers a second STA thread's calls (arrays,
# a refused call's error information, identification, IDispatch).
source "$(dirname "$0")/lib.sh" "$1"

run_with_autofill --como "$(winpath "$DATA/three_components.como")" -- \
    wine "$BIN/korvid-e2e-apartments.exe"
cat "$WORK/client.txt"
client_passed
echo "PASS apartments"
