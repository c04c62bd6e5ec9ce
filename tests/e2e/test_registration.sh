#!/usr/bin/env bash
# regsvr32 writes the ProgID, the class (Apartment) in its bitness's view, the
# type library under its bitness and the interface keys but another CAPE-OPEN
# library's; /u removes what is ours, leaving the shared keys while the other
# bitness is registered; then the class can no longer be created in this
# bitness, and still can in the other where its server is really registered.
source "$(dirname "$0")/lib.sh" "$1"
clsid='{B7F98B4C-E47C-4821-ABA9-A462547124BB}' lib='HKCR\TypeLib\{A0E3B237-872B-447D-A343-A7D418B7FE77}\1.0'
ident='HKCR\Interface\{678C0990-7D66-11D2-A67D-00105A42887F}' other=$((96 - bits))
# The CAPE-OPEN 1.1 class beside it, registered and removed by the same calls.
clsid11='{3E8D6A52-91C4-4B7F-A0D3-6F25C81B9E07}' lib11='HKCR\TypeLib\{5C4B0E1D-7A35-4E8F-9C61-2B7D3F0A8E42}\1.0\0'
keys=('HKCR\Korvid.Tessel' "HKCR\\CLSID\\$clsid" "$lib" "$lib\\0\\win$bits"
      'HKCR\Interface\{91662CFF-B8FF-4B1A-B4DF-5A62AFEED1E9}' 'HKCR\Interface\{678C0994-7D66-11D2-A67D-00105A42887F}' "$ident"
      'HKCR\Korvid.Material' "HKCR\\CLSID\\$clsid11" "$lib11\\win$bits" 'HKCR\Interface\{678C0A9B-7D66-11D2-A67D-00105A42887F}')
reg() { korvid_timeout 30 "$SYSTEM_WINE" reg "$@" >/dev/null 2>&1; }
regsvr() { korvid_timeout 60 "$SYSTEM_WINE" "$REGSVR32" /s "$@" "$WIN_BIN\\Korvid.dll"; }

dump registered
# The other bitness's keys that unregistration looks at, made up where absent.
# On the way out they go, and so does a foreign interface key: regsvr32 then
# leaves the machine as the other tests expect it.
made=()
mk() { reg add "$1" /ve /d 'C:\Korvid\Korvid.dll' /f "$3" && made+=("$2" "$3"); }
unmake() { for ((k = 0; k < ${#made[@]}; k += 2)); do reg delete "${made[k]}" /f "${made[k + 1]}" || true; done; }
trap 'unmake; reg delete "$ident" /f; regsvr; rm -rf "$WORK"' EXIT
reg query "HKCR\\CLSID\\$clsid" "/reg:$other" || mk "HKCR\\CLSID\\$clsid\\InprocServer32" "HKCR\\CLSID\\$clsid" "/reg:$other"
reg query "$lib\\0\\win$other" || mk "$lib\\0\\win$other" "$lib\\0\\win$other" "/reg:$bits"
reg query "HKCR\\CLSID\\$clsid11" "/reg:$other" ||
    mk "HKCR\\CLSID\\$clsid11\\InprocServer32" "HKCR\\CLSID\\$clsid11" "/reg:$other"
reg query "$lib11\\win$other" || mk "$lib11\\win$other" "$lib11\\win$other" "/reg:$bits"
# Nothing made up: the other bitness's server is really registered.
[ ${#made[@]} = 0 ] && beside_other=_and_other || beside_other=
regsvr /u
dump unregistered_beside_other
vbs create | norm >"$WORK/create.out"
expect "$WORK/create.out"
if [ -n "$beside_other" ]; then
    # It still creates, and keeps the shared keys to the end.
    CSCRIPT="$(KORVID_BITS=$other korvid_system_dir)\\cscript.exe" \
        SYSTEM_WINE="$(KORVID_BITS=$other korvid_system_wine)" run --como "$COMO" -- vbs create
    mv "$WORK/client.out" "$WORK/create_other.out" && expect "$WORK/create_other.out"
fi
if [ ${#made[@]} = 8 ]; then
    unmake && made=()
    regsvr && regsvr /u
    dump unregistered
fi
reg add "$ident\\TypeLib" /ve /d '{11111111-2222-3333-4444-555555555555}' /f
regsvr
dump beside_foreign
regsvr /u
dump "unregistered_beside_foreign$beside_other"
