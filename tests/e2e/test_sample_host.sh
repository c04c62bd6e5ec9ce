#!/usr/bin/env bash
# The demo's sample host: a flash-drum unit reads the feed, sets temperature,
# pressure and composition, flashes, reads the results and duplicates the
# feed; the feed's and the outlet's forms name their own reports.
source "$(dirname "$0")/lib.sh" "$1"
rm -f "$REPORTS"/e2e_{unit,outlet}.txt
run --como "$COMO" --report e2e_unit --report e2e_outlet --forms 2 -- wine "$BIN/korvid-sample-host.exe"
expect "$WORK/client.out" "$REPORTS"/e2e_{unit,outlet}.txt
