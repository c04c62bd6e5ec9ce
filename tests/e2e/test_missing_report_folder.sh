#!/usr/bin/env bash
# Without a "CapeOpenValidationReports" folder beside the library the form
# refuses OK with "Enter a different name for reporting." and stays open.
source "$(dirname "$0")/lib.sh" "$1"

hidden="$BIN/CapeOpenValidationReports.hidden"
rm -rf "$hidden"
mv "$REPORTS" "$hidden"
restore() { [ -d "$hidden" ] && { rm -rf "$REPORTS"; mv "$hidden" "$REPORTS"; }; rm -rf "$WORK"; }
trap restore EXIT

cat >"$WORK/create.vbs" <<'VBS'
Set mo = CreateObject("Korvid.Tessel")
WScript.Echo "created"
VBS
(cd "$WORK" && exec timeout 60 wine cscript //nologo create.vbs >"$WORK/client.out" 2>&1) &
client=$!
rc=0
timeout 60 wine "$BIN/korvid-autofill.exe" --como "$(winpath "$DATA/three_components.como")" \
    --report missing_folder --timeout 30 >"$WORK/autofill.out" 2>&1 || rc=$?
tr -d '\r' <"$WORK/autofill.out" >"$WORK/autofill.txt"
kill "$client" 2>/dev/null || true
pkill -f 'cscript.*create.vbs' 2>/dev/null || true
wait "$client" 2>/dev/null || true
cat "$WORK/autofill.txt"
[ "$rc" = 2 ] || fail "korvid-autofill.exe should report a form left open (exit 2), got $rc"
grep -qx 'status: Enter a different name for reporting.' "$WORK/autofill.txt" ||
    fail "status line did not ask for a different name"
grep -q created "$WORK/client.out" && fail "the creation completed"
echo "PASS missing report folder"
