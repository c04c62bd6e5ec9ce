#!/usr/bin/env bash
# The 64-bit zip a Windows user downloads: its files and CR LF scripts; its
# register.cmd registers the packaged DLL, its sample host and korvid-autofill
# make the sample host's reports beside it, its unregister.cmd removes the
# class. The build's own DLL is registered again afterwards.
source "$(dirname "$0")/lib.sh" "$1"
top="Korvid-${KORVID_VERSION:?set by ctest}-win64" dir="$WORK/Korvid-$KORVID_VERSION-win64"
class='HKCR\CLSID\{B7F98B4C-E47C-4821-ABA9-A462547124BB}'
trap 'timeout 60 wine "$REGSVR32" /s "$WIN_BIN\\Korvid.dll" >/dev/null 2>&1; rm -rf "$WORK"' EXIT
(cd "$WORK" && cmake -E tar xf "${KORVID_PACKAGE_DIR:?set by ctest}/$top.zip" && find "$top" -type f | sort) |
    sed "s/$KORVID_VERSION/<VERSION>/" >"$WORK/files.out"
expect "$WORK/files.out" "$dir"/{register,unregister}{,-sample-unit}.cmd
timeout 60 wine cmd /c "$(winpath "$dir/register.cmd")" /s
WIN_BIN="$(winpath "$dir")"
timeout 30 wine reg query "$class\\InprocServer32" /reg:64 | norm >"$WORK/class.out" && expect "$WORK/class.out"
EXPECTED="$DATA/expected/sample_host"
BIN="$dir" run --como "$(winpath "$dir/three_components.como")" --report e2e_unit --report e2e_outlet --forms 2 -- \
    wine "$dir/korvid-sample-host.exe"
expect "$WORK/client.out" "$dir/CapeOpenValidationReports"/e2e_{unit,outlet}.txt
timeout 60 wine cmd /c "$(winpath "$dir/unregister.cmd")" /s
! timeout 30 wine reg query "$class" /reg:64 >/dev/null 2>&1 || fail "unregister.cmd left the class registered"
