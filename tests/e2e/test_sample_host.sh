#!/usr/bin/env bash
# The demo's sample host with reporting on: a flash-drum unit reads the feed's
# components and constants, sets temperature, pressure and composition,
# flashes, reads the results and duplicates the feed. The feed's form and the
# outlet's get their own reports.
source "$(dirname "$0")/lib.sh" "$1"

rm -f "$REPORTS"/e2e_{unit,outlet}.txt
run --como "$COMO" --report e2e_unit --report e2e_outlet --forms 2 -- wine "$BIN/korvid-sample-host.exe"
expect "$WORK/client.out" "$REPORTS"/e2e_{unit,outlet}.txt
echo "PASS sample host"
