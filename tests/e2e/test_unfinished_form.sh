#!/usr/bin/env bash
# A creation whose form cannot finish fails with an HRESULT and error
# information that say why, and makes no object: a WM_QUIT reaches the host's
# thread while the form is shown, or there is no display for the form.
source "$(dirname "$0")/lib.sh" "$1"
korvid_timeout 60 wine "$BIN/korvid-e2e-host.exe" quit 2>&1 | norm >"$WORK/quit.out"
DISPLAY= korvid_timeout 60 wine "$BIN/korvid-e2e-host.exe" no-desktop 2>&1 | norm >"$WORK/no_desktop.out"
expect "$WORK/quit.out" "$WORK/no_desktop.out"
