#!/usr/bin/env bash
# regsvr32 registers KorvidSampleUnit.dll: ProgID, class (Apartment) with the
# unit-operation categories and CapeDescription, type library, and the
# interface keys that no other CAPE-OPEN library holds (Korvid.dll, registered
# first, keeps ICapeIdentification's, and its 1.1 library the error
# interfaces'). The smoke client's refusals leave their
# CAPE-OPEN errors; /u removes only what is ours.
source "$(dirname "$0")/lib.sh" "$1"
clsid='{131D0C75-548C-4316-B6C8-797D7C73A288}' lib='HKCR\TypeLib\{8E2643F9-43B5-4282-92DE-5452B19899F5}\1.0'
keys=('HKCR\Korvid.SampleFlashDrum' "HKCR\\CLSID\\$clsid" "$lib" "$lib\\0\\win$bits")
for iid in 0998-0100 0999-0093 099A-0093 0A9B-0100 0990-7D66 09A0-0093 099C-0093 099D-0093 \
           0B10-7D66 0B11-7D66 0B12-7D66; do
    keys+=("HKCR\\Interface\\{678C${iid%-*}-${iid#*-}-11D2-A67D-00105A42887F}")
done
regsvr() { korvid_timeout 60 "$SYSTEM_WINE" "$REGSVR32" /s "$@" "$WIN_BIN\\KorvidSampleUnit.dll"; }
trap 'regsvr /u; rm -rf "$WORK"' EXIT
regsvr
dump registered
korvid_timeout 60 wine "$BIN/korvid-e2e-sample-unit.exe" 2>&1 | norm >"$WORK/smoke.out" || true
expect "$WORK/smoke.out"
regsvr /u
dump unregistered
