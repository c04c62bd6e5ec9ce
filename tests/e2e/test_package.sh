#!/usr/bin/env bash
# The 64-bit zip a Windows user downloads: its files (the scripts with CR LF
# ends), unpacked and registered by its register.cmd (which creates the report
# folder); the packaged sample host creates the object while the packaged
# korvid-autofill fills the form from the packaged .como, and the reports
# beside the packaged DLL are the sample host's; unregister.cmd removes the
# class. The build's own DLL is registered again afterwards.
source "$(dirname "$0")/lib.sh" "$1"

top="Korvid-${KORVID_VERSION:?set by ctest}-win64"
trap 'timeout 60 wine "$REGSVR32" /s "$WIN_BIN\\Korvid.dll" >/dev/null 2>&1; rm -rf "$WORK"' EXIT
(cd "$WORK" && cmake -E tar xf "${KORVID_PACKAGE_DIR:?set by ctest}/$top.zip")
dir="$WORK/$top"
(cd "$WORK" && find "$top" -type f | sort | sed "s/$KORVID_VERSION/<VERSION>/") >"$WORK/files.out"
cp "$dir/register.cmd" "$dir/unregister.cmd" "$WORK/"
expect "$WORK/files.out" "$WORK/register.cmd" "$WORK/unregister.cmd"

timeout 60 wine cmd /c "$(winpath "$dir/register.cmd")" /s || fail "register.cmd failed"
WIN_BIN="$(winpath "$dir")"
class='HKCR\CLSID\{B7F98B4C-E47C-4821-ABA9-A462547124BB}\InprocServer32'
timeout 30 wine reg query "$class" /reg:64 | norm >"$WORK/class.out"
BIN="$dir" run --como "$(winpath "$dir/three_components.como")" --report e2e_unit --report e2e_outlet --forms 2 -- \
    wine "$dir/korvid-sample-host.exe"
EXPECTED="$DATA/expected/sample_host"
expect "$WORK/client.out" "$dir/CapeOpenValidationReports/e2e_unit.txt" "$dir/CapeOpenValidationReports/e2e_outlet.txt"
EXPECTED="$DATA/expected/package"
timeout 60 wine cmd /c "$(winpath "$dir/unregister.cmd")" /s || fail "unregister.cmd failed"
expect "$WORK/class.out"
! timeout 30 wine reg query "${class%\\*}" /reg:64 >/dev/null 2>&1 || fail "unregister.cmd left the class registered"
echo "PASS package"
