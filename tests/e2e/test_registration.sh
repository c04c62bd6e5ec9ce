#!/usr/bin/env bash
# regsvr32 registers the ProgID, the class (Apartment), the type library under
# the DLL's own bitness and the interface keys, leaves interface keys of
# another CAPE-OPEN library alone, and /u removes only what is ours. With the
# other bitness registered too, /u leaves what that one still uses: its class
# view, the shared ProgID and the type library's version key with its subkey.
# Class and interface keys are read in this bitness's registry view.
source "$(dirname "$0")/lib.sh" "$1"

bits="${KORVID_BITS:-64}"
other=$((96 - bits))
dll="$(winpath "$BIN/Korvid.dll")"
clsid='{B7F98B4C-E47C-4821-ABA9-A462547124BB}'
libid='{A0E3B237-872B-447D-A343-A7D418B7FE77}'
tessel='{91662CFF-B8FF-4B1A-B4DF-5A62AFEED1E9}'
ident='{678C0990-7D66-11D2-A67D-00105A42887F}'
thermo='{678C0994-7D66-11D2-A67D-00105A42887F}'
foreign='{11111111-2222-3333-4444-555555555555}'

# query KEY [VIEW], has_key KEY [VIEW]: VIEW 32 or 64, this bitness's by default.
query() { timeout 30 wine reg query "$1" "/reg:${2:-$bits}" 2>/dev/null | tr -d '\r'; }
has_key() { timeout 30 wine reg query "$1" "/reg:${2:-$bits}" >/dev/null 2>&1; }
reg_add() { timeout 30 wine reg add "$1" /ve /d "$2" /f "/reg:$3" >/dev/null; }
reg_delete() { timeout 30 wine reg delete "$1" /f "/reg:${2:-$bits}" >/dev/null 2>&1 || true; }
regsvr() { timeout 60 wine "$REGSVR32" /s "$@" "$dll"; }

# Registered by lib.sh, every path naming this build's DLL.
query 'HKCR\Korvid.Tessel\CLSID' | grep -q "$clsid" || fail "ProgID"
query "HKCR\\CLSID\\$clsid\\InprocServer32" | grep -q 'ThreadingModel.*Apartment' || fail "ThreadingModel"
query "HKCR\\CLSID\\$clsid\\InprocServer32" | grep -qiF "$dll" || fail "InprocServer32 path"
query "HKCR\\TypeLib\\$libid\\1.0\\0\\win$bits" | grep -qiF "$dll" || fail "type library win$bits"
query "HKCR\\Interface\\$thermo\\TypeLib" | grep -q "$libid" || fail "interface key of ours"

# expect_unregistered CLASS LIBRARY: this bitness's keys are gone; of the
# shared keys, the ProgID stays exactly when the other bitness's class is
# registered (CLASS yes|no), the type library's version key when its subkey
# is (LIBRARY yes|no); a host of this bitness can no longer create the class.
expect_unregistered() {
    local state="other bitness's class $1, type library $2"
    for key in "HKCR\\CLSID\\$clsid" "HKCR\\TypeLib\\$libid\\1.0\\0\\win$bits" \
               "HKCR\\Interface\\$tessel" "HKCR\\Interface\\$thermo" "HKCR\\Interface\\$ident"; do
        has_key "$key" && fail "$key left after unregistration ($state)"
    done
    if [ "$1" = yes ]; then
        query 'HKCR\Korvid.Tessel\CLSID' | grep -q "$clsid" || fail "ProgID removed ($state)"
    else
        has_key 'HKCR\Korvid.Tessel' && fail "ProgID left ($state)"
    fi
    if [ "$2" = yes ]; then
        has_key "HKCR\\TypeLib\\$libid\\1.0\\0\\win$other" || fail "type library win$other removed ($state)"
        query "HKCR\\TypeLib\\$libid\\1.0" | grep -q 'Korvid' || fail "shared type library key removed ($state)"
    else
        has_key "HKCR\\TypeLib\\$libid" && fail "type library key left ($state)"
    fi
    cat >"$WORK/create.vbs" <<'VBS'
On Error Resume Next
Set mo = CreateObject("Korvid.Tessel")
WScript.Echo "err=" & Err.Number
VBS
    (cd "$WORK" && timeout 60 wine "$CSCRIPT" //nologo create.vbs) | tr -d '\r' | grep -qx 'err=429' ||
        fail "an unregistered class should not be creatable ($state)"
}

# other_state: "CLASS LIBRARY" (yes or no each) of the other bitness as found.
other_class="HKCR\\CLSID\\$clsid\\InprocServer32"
other_lib="HKCR\\TypeLib\\$libid\\1.0\\0\\win$other"
other_state() {
    has_key "$other_class" "$other" && echo -n "yes " || echo -n "no "
    has_key "$other_lib" && echo yes || echo no
}

# The other bitness registered: a real registration, or one made up here of
# the keys that unregistration looks at (removed again, also on failure).
made_up=()  # KEY VIEW pairs
remove_made_up() {
    for ((i = 0; i < ${#made_up[@]}; i += 2)); do reg_delete "${made_up[i]}" "${made_up[i + 1]}"; done
    made_up=()
}
trap 'remove_made_up; rm -rf "$WORK"' EXIT
if ! has_key "$other_class" "$other"; then
    reg_add "$other_class" "C:\\Korvid\\win$other\\Korvid.dll" "$other"
    made_up+=("HKCR\\CLSID\\$clsid" "$other")
fi
if ! has_key "$other_lib"; then
    reg_add "$other_lib" "C:\\Korvid\\win$other\\Korvid.dll" "$bits"
    made_up+=("$other_lib" "$bits")
fi
regsvr /u
expect_unregistered yes yes
remove_made_up
# Without what was made up, the shared keys it kept go with the next /u.
regsvr
regsvr /u
expect_unregistered $(other_state)

# Another CAPE-OPEN type library owns the identification interface.
reg_add "HKCR\\Interface\\$ident\\TypeLib" "$foreign" "$bits"
regsvr
query "HKCR\\Interface\\$ident\\TypeLib" | grep -q "$foreign" || fail "foreign interface key taken over"
query "HKCR\\Interface\\$thermo\\TypeLib" | grep -q "$libid" || fail "free interface key not registered"
regsvr /u
query "HKCR\\Interface\\$ident\\TypeLib" | grep -q "$foreign" || fail "foreign interface key removed"
has_key "HKCR\\Interface\\$thermo" && fail "our interface key left"

# Leave the machine as the other tests expect it.
reg_delete "HKCR\\Interface\\$ident"
regsvr
echo "PASS registration"
