#!/usr/bin/env bash
# A C++ host calls every operation through the vtables with typed arrays;
# the created and duplicated objects fill two more forms. Every reference is
# released and the server may unload at the end.
source "$(dirname "$0")/lib.sh" "$1"

rm -f "$REPORTS/e2e_host.txt"
run_with_autofill --como "$(winpath "$DATA/three_components.como")" --report e2e_host --forms 3 -- \
    wine "$BIN/korvid-e2e-host-session.exe"
client_passed
[ "$(grep -c '^message:' "$WORK/autofill.txt")" = 0 ] || fail "unexpected message box: $(cat "$WORK/autofill.txt")"
[ -s "$REPORTS/e2e_host.txt" ] || fail "no report e2e_host"
rm -f "$REPORTS/e2e_host.txt"
echo "PASS host session"
