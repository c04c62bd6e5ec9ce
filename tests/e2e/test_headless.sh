#!/usr/bin/env bash
# Creation without the form, with no display at all: the host's typed
# scenario with its definition in KORVID_COMO, KORVID_REPORT and
# KORVID_COMPIDS; every object, the created and the duplicated one included,
# reports to a file of its own (name, name-2, name-3). A file that cannot be
# read fails the creation with the reason.
source "$(dirname "$0")/lib.sh" "$1"
rm -f "$REPORTS"/e2e_headless*.txt
headless() {
    env -u DISPLAY KORVID_COMO="$1" KORVID_REPORT=e2e_headless KORVID_COMPIDS=names \
        timeout 60 wine "$BIN/korvid-e2e-host.exe" "$2" 2>&1 | norm
}
headless "$COMO" typed >"$WORK/client.out"
headless 'C:\no such folder\three.como' no-desktop >"$WORK/unreadable.out"
expect "$WORK/client.out" "$WORK/unreadable.out" "$REPORTS"/e2e_headless{,-2,-3}.txt
