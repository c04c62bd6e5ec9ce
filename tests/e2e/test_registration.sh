#!/usr/bin/env bash
# regsvr32 writes the ProgID, the class (Apartment) in its bitness's view, the
# type library under its bitness and the interface keys but another CAPE-OPEN
# library's; /u removes what is ours, leaving the shared keys while the other
# bitness is registered; then the class can no longer be created in this
# bitness, and still can in the other where its server is really registered.
source "$(dirname "$0")/lib.sh" "$1"
source "$E2E_DIR/keys.sh" && korvid_keys
other=$((96 - bits))
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
