#!/usr/bin/env bash
# regsvr32 writes the ProgID, the class (InprocServer32, Apartment) in its
# bitness's registry view, the type library under its bitness and the
# interface keys; it leaves interface keys of another CAPE-OPEN type library
# alone, and /u removes only what is ours. With the other bitness registered
# too, /u leaves the shared ProgID and type library key; then the class
# cannot be created.
source "$(dirname "$0")/lib.sh" "$1"

clsid='{B7F98B4C-E47C-4821-ABA9-A462547124BB}' libid='{A0E3B237-872B-447D-A343-A7D418B7FE77}'
ident='{678C0990-7D66-11D2-A67D-00105A42887F}' other=$((96 - bits))
keys=("HKCR\\Korvid.Tessel" "HKCR\\CLSID\\$clsid" "HKCR\\TypeLib\\$libid\\1.0" "HKCR\\TypeLib\\$libid\\1.0\\0\\win$bits"
      "HKCR\\Interface\\{91662CFF-B8FF-4B1A-B4DF-5A62AFEED1E9}" "HKCR\\Interface\\{678C0994-7D66-11D2-A67D-00105A42887F}"
      "HKCR\\Interface\\$ident")
reg() { timeout 30 wine reg "$@" >/dev/null 2>&1; }
regsvr() { timeout 60 wine "$REGSVR32" /s "$@" "$WIN_BIN\\Korvid.dll"; }
# dump NAME: the keys as `reg query` lists them in this bitness's view (the
# type library's version key without its subkeys), compared with NAME.out.
dump() {
    for key in "${keys[@]}"; do
        [[ "$key" == *1.0 ]] && s=() || s=(/s)
        timeout 30 wine reg query "$key" "${s[@]}" "/reg:$bits" >"$WORK/key" 2>&1 && cat "$WORK/key" || echo "no $key"
    done | norm >"$WORK/$1.out"
    expect "$WORK/$1.out"
}

dump registered
# The other bitness's keys that unregistration looks at, made up if absent.
made_up=no
if ! reg query "HKCR\\CLSID\\$clsid" "/reg:$other"; then
    made_up=yes
    reg add "HKCR\\CLSID\\$clsid\\InprocServer32" /ve /d "C:\\Korvid\\Korvid.dll" /f "/reg:$other"
    reg add "HKCR\\TypeLib\\$libid\\1.0\\0\\win$other" /ve /d "C:\\Korvid\\Korvid.dll" /f
fi
regsvr /u
dump unregistered_beside_other
vbs create | norm >"$WORK/create.out"
expect "$WORK/create.out"
if [ "$made_up" = yes ]; then
    reg delete "HKCR\\CLSID\\$clsid" /f "/reg:$other"
    reg delete "HKCR\\TypeLib\\$libid\\1.0\\0\\win$other" /f
    regsvr
    regsvr /u
    dump unregistered
fi
# Another CAPE-OPEN type library owns the identification interface.
reg add "HKCR\\Interface\\$ident\\TypeLib" /ve /d '{11111111-2222-3333-4444-555555555555}' /f
regsvr
dump beside_foreign
regsvr /u
dump unregistered_beside_foreign
reg delete "HKCR\\Interface\\$ident" /f
regsvr
echo "PASS registration"
