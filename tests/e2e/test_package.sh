#!/usr/bin/env bash
# The zip of the bitness under test that a Windows user downloads: its files
# and CR LF scripts; its register.cmd registers the packaged DLL and its
# register-sample-unit.cmd the sample unit, which the packaged
# korvid-validate runs clean, Korvid's reports beside the DLL; the
# unregister scripts remove both classes. The build's own DLL is registered
# again afterwards.
source "$(dirname "$0")/lib.sh" "$1"
top="Korvid-${KORVID_VERSION:?set by ctest}-win$bits" dir="$WORK/Korvid-$KORVID_VERSION-win$bits"
class='HKCR\CLSID\{B7F98B4C-E47C-4821-ABA9-A462547124BB}'
unit='HKCR\CLSID\{131D0C75-548C-4316-B6C8-797D7C73A288}'
# The build's DLL, named before WIN_BIN turns to the unpacked folder below.
build_dll="$WIN_BIN\\Korvid.dll"
trap 'korvid_timeout 60 "$SYSTEM_WINE" "$REGSVR32" /u /s "$(winpath "$dir/KorvidSampleUnit.dll")" >/dev/null 2>&1
      korvid_timeout 60 "$SYSTEM_WINE" "$REGSVR32" /s "$build_dll" >/dev/null 2>&1; rm -rf "$WORK"' EXIT
(cd "$WORK" && cmake -E tar xf "${KORVID_PACKAGE_DIR:?set by ctest}/$top.zip" && find "$top" -type f | sort) |
    sed "s/$KORVID_VERSION/<VERSION>/" | norm >"$WORK/files.out"
expect "$WORK/files.out"
# The scripts name their bitness and its regsvr32.
EXPECTED="$EXPECTED/win$bits" expect "$dir"/{register,unregister}{,-sample-unit}.cmd
korvid_timeout 60 wine cmd /c "$(winpath "$dir/register.cmd")" /s
WIN_BIN="$(winpath "$dir")"
korvid_timeout 30 wine reg query "$class\\InprocServer32" "/reg:$bits" | norm >"$WORK/class.out" && expect "$WORK/class.out"
korvid_timeout 60 wine cmd /c "$(winpath "$dir/register-sample-unit.cmd")" /s
code=0
korvid_timeout 120 wine "$dir/korvid-validate.exe" --unit Korvid.SampleFlashDrum \
    --como "$(winpath "$dir/three_components.como")" --report-prefix e2e 2>&1 | norm >"$WORK/clean.out" || code=$?
tr -d '\r' <"$dir/CapeOpenValidationReports/e2e-summary.txt" >"$WORK/clean.summary"
[ "$code" = 0 ] && [ -s "$dir/CapeOpenValidationReports/e2e-Feed.txt" ] ||
    { cat "$WORK/clean.out" >&2; fail "the packaged korvid-validate exited $code, or wrote no report beside the DLL"; }
EXPECTED="$DATA/expected/validate" expect "$WORK/clean.out" "$WORK/clean.summary"
korvid_timeout 60 wine cmd /c "$(winpath "$dir/unregister-sample-unit.cmd")" /s
! korvid_timeout 30 wine reg query "$unit" "/reg:$bits" >/dev/null 2>&1 || fail "unregister-sample-unit.cmd left the unit registered"
korvid_timeout 60 wine cmd /c "$(winpath "$dir/unregister.cmd")" /s
! korvid_timeout 30 wine reg query "$class" "/reg:$bits" >/dev/null 2>&1 || fail "unregister.cmd left the class registered"
