#!/usr/bin/env bash
# The CAPE-OPEN 1.1 class through real COM, headless: a C++ client calls every
# operation of Korvid.Material's interfaces through the vtables and late bound
# (IDispatch), the flash and the calculations included, and reads the error
# interfaces after a refusal. Its printout and the trace report (the material
# and its working copy share it) are compared byte for byte. Its compounds
# come from the file in the units of the 1.1 constants.
source "$(dirname "$0")/lib.sh" "$1"
rm -f "$REPORTS"/e2e_material11*.txt
env -u DISPLAY KORVID_COMO="$(winpath "$DATA/three_components_si.como")" KORVID_REPORT=e2e_material11 KORVID_COMPIDS=names \
    timeout "$(korvid_scaled 60)" wine "$BIN/korvid-e2e-material11.exe" 2>&1 | norm >"$WORK/client.out" || true
expect "$WORK/client.out" "$REPORTS"/e2e_material11.txt
