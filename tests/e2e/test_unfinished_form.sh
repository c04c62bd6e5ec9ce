#!/usr/bin/env bash
# A creation whose form cannot finish fails with an HRESULT and error
# information that say why, and makes no object: once because a WM_QUIT
# reaches the host's thread while the form is shown (the quit is posted
# again), once because there is no display for the form's window.
source "$(dirname "$0")/lib.sh" "$1"

timeout 60 wine "$BIN/korvid-e2e-unfinished-form.exe" quit >"$WORK/client.out" 2>&1 || CLIENT_RC=$?
tr -d '\r' <"$WORK/client.out" >"$WORK/client.txt"
client_passed
echo "== WM_QUIT"; cat "$WORK/client.txt"

CLIENT_RC=0
DISPLAY= timeout 60 wine "$BIN/korvid-e2e-unfinished-form.exe" no-desktop >"$WORK/client.out" 2>&1 || CLIENT_RC=$?
tr -d '\r' <"$WORK/client.out" >"$WORK/client.txt"
client_passed
echo "== no display"; cat "$WORK/client.txt"
echo "PASS unfinished form"
