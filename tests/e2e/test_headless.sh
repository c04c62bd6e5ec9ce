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

# With a display present, nobody is at the desk either: each message box is
# a report line and a debugger output line, and the call goes on as after OK.
rm -f "$REPORTS"/e2e_boxes.txt
# (Wine shows debugger output on its seh channel, escaped.)
KORVID_COMO="$COMO" KORVID_REPORT=e2e_boxes WINEDEBUG=warn+seh CLIENT_TIMEOUT=30 \
    vbs message_box 2>"$WORK/debug.raw" | norm >"$WORK/boxes.out"
sed -n 's/^.*OutputDebugStringA "\(.*\)"\r*$/debugger: \1/p' "$WORK/debug.raw" >>"$WORK/boxes.out"
expect "$WORK/boxes.out" "$REPORTS"/e2e_boxes.txt
