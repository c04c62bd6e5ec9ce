#!/usr/bin/env bash
# The zip of the bitness under test that a Windows user downloads: its files
# and CR LF scripts; its register.cmd registers the packaged DLL, its sample
# host and korvid-autofill make the sample host's reports beside it, its
# unregister.cmd removes the class. The build's own DLL is registered again
# afterwards.
source "$(dirname "$0")/lib.sh" "$1"
top="Korvid-${KORVID_VERSION:?set by ctest}-win$bits" dir="$WORK/Korvid-$KORVID_VERSION-win$bits"
class='HKCR\CLSID\{B7F98B4C-E47C-4821-ABA9-A462547124BB}'
trap 'korvid_timeout 60 "$SYSTEM_WINE" "$REGSVR32" /s "$WIN_BIN\\Korvid.dll" >/dev/null 2>&1; rm -rf "$WORK"' EXIT
(cd "$WORK" && cmake -E tar xf "${KORVID_PACKAGE_DIR:?set by ctest}/$top.zip" && find "$top" -type f | sort) |
    sed "s/$KORVID_VERSION/<VERSION>/" | norm >"$WORK/files.out"
expect "$WORK/files.out"
# The scripts name their bitness and its regsvr32.
EXPECTED="$EXPECTED/win$bits" expect "$dir"/{register,unregister}{,-sample-unit}.cmd
korvid_timeout 60 wine cmd /c "$(winpath "$dir/register.cmd")" /s
WIN_BIN="$(winpath "$dir")"
korvid_timeout 30 wine reg query "$class\\InprocServer32" "/reg:$bits" | norm >"$WORK/class.out" && expect "$WORK/class.out"
EXPECTED="$DATA/expected/sample_host"
BIN="$dir" run --como "$(winpath "$dir/three_components.como")" --report e2e_unit --report e2e_outlet --forms 2 -- \
    wine "$dir/korvid-sample-host.exe"
expect "$WORK/client.out" "$dir/CapeOpenValidationReports"/e2e_{unit,outlet}.txt
korvid_timeout 60 wine cmd /c "$(winpath "$dir/unregister.cmd")" /s
! korvid_timeout 30 wine reg query "$class" "/reg:$bits" >/dev/null 2>&1 || fail "unregister.cmd left the class registered"
