#!/usr/bin/env bash
# regsvr32 registers KorvidSampleUnit.dll: ProgID, class (Apartment) with the
# unit-operation categories and CapeDescription, type library, and the
# interface keys that no other CAPE-OPEN library holds (Korvid.dll, registered
# first, keeps ICapeIdentification's, and its 1.1 library the error
# interfaces'). The smoke client's refusals leave their
# CAPE-OPEN errors; /u removes only what is ours.
source "$(dirname "$0")/lib.sh" "$1"
source "$E2E_DIR/keys.sh" && sample_unit_keys
regsvr() { korvid_timeout 60 "$SYSTEM_WINE" "$REGSVR32" /s "$@" "$WIN_BIN\\KorvidSampleUnit.dll"; }
trap 'regsvr /u; rm -rf "$WORK"' EXIT
regsvr
dump registered
korvid_timeout 60 wine "$BIN/korvid-e2e-sample-unit.exe" 2>&1 | norm >"$WORK/smoke.out" || true
expect "$WORK/smoke.out"
regsvr /u
dump unregistered
