#!/usr/bin/env bash
# regsvr32 registers the ProgID, the class (Apartment) and the type library,
# leaves interface keys of another CAPE-OPEN library alone, and /u removes
# only what is ours.
source "$(dirname "$0")/lib.sh" "$1"

dll="$(winpath "$BIN/Korvid.dll")"
clsid='{B7F98B4C-E47C-4821-ABA9-A462547124BB}'
libid='{A0E3B237-872B-447D-A343-A7D418B7FE77}'
ident='{678C0990-7D66-11D2-A67D-00105A42887F}'
thermo='{678C0994-7D66-11D2-A67D-00105A42887F}'
foreign='{11111111-2222-3333-4444-555555555555}'

query() { timeout 30 wine reg query "$@" 2>/dev/null | tr -d '\r'; }
has_key() { timeout 30 wine reg query "$1" >/dev/null 2>&1; }

# Registered by lib.sh.
query 'HKCR\Korvid.Tessel\CLSID' | grep -q "$clsid" || fail "ProgID"
query "HKCR\\CLSID\\$clsid\\InprocServer32" | grep -q 'ThreadingModel.*Apartment' || fail "ThreadingModel"
query "HKCR\\CLSID\\$clsid\\InprocServer32" | grep -qi 'Korvid.dll' || fail "InprocServer32 path"
query "HKCR\\TypeLib\\$libid\\1.0\\0\\win64" | grep -qi 'Korvid.dll' || fail "type library"
query "HKCR\\Interface\\$thermo\\TypeLib" | grep -q "$libid" || fail "interface key of ours"

# Unregistration removes all of it.
timeout 60 wine regsvr32 /s /u "$dll"
for key in 'HKCR\Korvid.Tessel' "HKCR\\CLSID\\$clsid" "HKCR\\TypeLib\\$libid" \
           "HKCR\\Interface\\$thermo" "HKCR\\Interface\\$ident"; do
    has_key "$key" && fail "$key left after unregistration"
done
cat >"$WORK/create.vbs" <<'VBS'
On Error Resume Next
Set mo = CreateObject("Korvid.Tessel")
WScript.Echo "err=" & Err.Number
VBS
(cd "$WORK" && timeout 60 wine cscript //nologo create.vbs) | tr -d '\r' | grep -qx 'err=429' ||
    fail "an unregistered class should not be creatable"

# Another CAPE-OPEN type library owns the identification interface.
timeout 30 wine reg add "HKCR\\Interface\\$ident\\TypeLib" /ve /d "$foreign" /f >/dev/null
timeout 60 wine regsvr32 /s "$dll"
query "HKCR\\Interface\\$ident\\TypeLib" | grep -q "$foreign" || fail "foreign interface key taken over"
query "HKCR\\Interface\\$thermo\\TypeLib" | grep -q "$libid" || fail "free interface key not registered"
timeout 60 wine regsvr32 /s /u "$dll"
query "HKCR\\Interface\\$ident\\TypeLib" | grep -q "$foreign" || fail "foreign interface key removed"
has_key "HKCR\\Interface\\$thermo" && fail "our interface key left"

# Leave the machine as the other tests expect it.
timeout 30 wine reg delete "HKCR\\Interface\\$ident" /f >/dev/null
timeout 60 wine regsvr32 /s "$dll"
echo "PASS registration"
