#!/usr/bin/env bash
# Calls from a second apartment through the registered type library, and an
# object made in each of two apartment threads with its own report settings:
# the second report holds the second thread's call alone; the host exits.
source "$(dirname "$0")/lib.sh" "$1"
rm -f "$REPORTS/e2e_apart2.txt"
run --como "$COMO" --forms 2 --report "" --report e2e_apart2 -- wine "$BIN/korvid-e2e-host.exe" apartments
passed
expect "$REPORTS/e2e_apart2.txt"
