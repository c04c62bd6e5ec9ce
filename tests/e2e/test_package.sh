#!/usr/bin/env bash
# The zips a Windows user downloads, one per bitness: each holds exactly the
# DLL and programs of its bitness, with their version resources, the sample
# .como file, README, licence and register/unregister scripts with CR LF
# ends. The 64-bit zip, unpacked, registers through its register.cmd (which
# creates the report folder), the packaged sample host creates the object
# while the packaged korvid-autofill fills the form from the packaged .como,
# the report lands beside the packaged DLL, and unregister.cmd removes the
# class. The build's own DLL is registered again afterwards.
source "$(dirname "$0")/lib.sh" "$1"

version="${KORVID_VERSION:?set by ctest}"
packages="${KORVID_PACKAGE_DIR:?set by ctest}"
clsid='{B7F98B4C-E47C-4821-ABA9-A462547124BB}'
trap 'timeout 60 wine "$REGSVR32" /s "$(winpath "$BIN/Korvid.dll")" >/dev/null 2>&1; rm -rf "$WORK"' EXIT

files=(Korvid.dll korvid-autofill.exe korvid-sample-host.exe register.cmd unregister.cmd
       three_components.como README.md LICENSE)
programs=(Korvid.dll korvid-autofill.exe korvid-sample-host.exe)

# The machine field of a PE file's header: 014c (x86) or 8664 (x64).
pe_machine() {
    local header
    header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' '
}

for bits in 32 64; do
    top="Korvid-$version-win$bits"
    zip="$packages/$top.zip"
    [ -f "$zip" ] || fail "no $zip: make it with cmake --build <build>/win$bits --target package"
    cmake -E tar tf "$zip" | grep -v '/$' | sort >"$WORK/listing"
    printf "$top/%s\n" "${files[@]}" | sort >"$WORK/expected"
    diff "$WORK/expected" "$WORK/listing" >&2 || fail "$top.zip holds other files than expected"
    mkdir -p "$WORK/win$bits"
    (cd "$WORK/win$bits" && cmake -E tar xf "$zip")
    dir="$WORK/win$bits/$top"

    [ "$bits" = 32 ] && machine=014c || machine=8664
    for program in "${programs[@]}"; do
        [ "$(pe_machine "$dir/$program")" = "$machine" ] || fail "$top/$program is not a $bits-bit program"
    done
    for script in register.cmd unregister.cmd; do
        [ "$(grep -c $'\r$' "$dir/$script")" = "$(wc -l <"$dir/$script")" ] ||
            fail "$top/$script has lines without CR LF"
    done
    [ "$bits" = 32 ] && regsvr32='SysWOW64\regsvr32.exe' || regsvr32='Sysnative\regsvr32.exe'
    grep -qF "$regsvr32" "$dir/register.cmd" || fail "$top/register.cmd does not call $regsvr32"
    grep -q '/u "%dll%"' "$dir/unregister.cmd" || fail "$top/unregister.cmd does not pass /u"

    # The version resources as Windows reads them (of either bitness).
    args=()
    for program in "${programs[@]}"; do args+=("$(winpath "$dir/$program")"); done
    timeout 60 wine "$BIN/korvid-e2e-version-info.exe" "${args[@]}" | tr -d '\r' >"$WORK/version.txt" ||
        { cat "$WORK/version.txt" >&2; fail "$top: a program without a version resource"; }
    for program in "${programs[@]}"; do
        [ "${program##*.}" = dll ] && type=dll || type=app
        for line in "Type=$type" "FixedFileVersion=$version.0" "FixedProductVersion=$version.0" \
                    "FileVersion=$version" "ProductVersion=$version" "ProductName=Korvid" \
                    "CompanyName=The Korvid developers" "OriginalFilename=$program" \
                    "InternalName=${program%.*}"; do
            grep -qxF "$program: $line" "$WORK/version.txt" ||
                { cat "$WORK/version.txt" >&2; fail "$top/$program: no $line"; }
        done
        grep -q "^$program: LegalCopyright=Copyright (c) the Korvid developers" "$WORK/version.txt" ||
            fail "$top/$program: no copyright"
        grep -q "^$program: FileDescription=Korvid ." "$WORK/version.txt" ||
            fail "$top/$program: no description"
    done
done

# A user's installation of the 64-bit package.
dir="$WORK/win64/Korvid-$version-win64"
dll="$(winpath "$dir/Korvid.dll")"
reports="$dir/CapeOpenValidationReports"
timeout 60 wine cmd /c "$(winpath "$dir/register.cmd")" /s || fail "register.cmd failed"
[ -d "$reports" ] || fail "register.cmd did not create CapeOpenValidationReports"
timeout 30 wine reg query "HKCR\\CLSID\\$clsid\\InprocServer32" /reg:64 | tr -d '\r' | grep -qiF "$dll" ||
    fail "register.cmd did not register the packaged DLL"

BIN="$dir" run_with_autofill --como "$(winpath "$dir/three_components.como")" \
    --report package_unit --report package_outlet --forms 2 -- wine "$dir/korvid-sample-host.exe"
[ "$CLIENT_RC" = 0 ] || { cat "$WORK/client.txt" >&2; fail "the packaged sample host exited $CLIENT_RC"; }
grep -qx 'Unit: outlet created by Duplicate' "$WORK/client.txt" ||
    { cat "$WORK/client.txt" >&2; fail "the unit did not finish"; }
grep -q 'ICapeThermoMaterialObject_CalcEquilibrium' "$reports/package_unit.txt" ||
    fail "no trace report beside the packaged DLL"

timeout 60 wine cmd /c "$(winpath "$dir/unregister.cmd")" /s || fail "unregister.cmd failed"
timeout 30 wine reg query "HKCR\\CLSID\\$clsid" /reg:64 >/dev/null 2>&1 &&
    fail "unregister.cmd left the class registered"

timeout 60 wine "$REGSVR32" /s "$(winpath "$BIN/Korvid.dll")" || fail "the build's DLL could not be registered again"
echo "PASS package"
