#!/usr/bin/env bash
# The MSI package of the bitness under test, installed silently as a build
# agent installs it. An older version first, without the optional sample unit,
# beside an interface key another type library owns, which it leaves alone;
# then this version with the sample unit: a major upgrade that leaves one
# product. Its registry keys are those regsvr32 writes (the registration and
# sample unit tests' dumps, the installed folder for <BIN>); both classes are
# created through COM, korvid-validate runs the sample unit from the installed
# folder with each. The other bitness's package installed beside it and
# removed again leaves it working. The uninstall leaves no key of ours in
# either view and no file but the reports written.
source "$(dirname "$0")/lib.sh" "$1"
source "$E2E_DIR/keys.sh"
other=$((96 - bits))
package() { echo "${KORVID_PACKAGE_DIR:?set by ctest}/Korvid-$2-win$1.msi"; }
version="${KORVID_VERSION:?set by ctest}" older="$WORK/Korvid-0.9.0-win$bits.msi"
# msiexec PACKAGE-BITS ARGS...: this bitness's package through the msiexec of
# this bitness (Wine's 64-bit one reads a 32-bit package's registry searches
# in the 64-bit view), the other's through the 64-bit one, which any 64-bit
# Windows runs.
msiexec() {
    local by=$(($1 == bits ? bits : 64))
    korvid_timeout 300 "$(KORVID_BITS=$by korvid_system_wine)" "$(KORVID_BITS=$by korvid_system_dir)\\msiexec.exe" "${@:2}" /qn
}
folder() { [ "$1" = 64 ] && echo 'C:\Program Files\Korvid' || echo 'C:\Program Files (x86)\Korvid'; }
reg() { korvid_timeout 30 "$SYSTEM_WINE" reg "$@" 2>/dev/null | tr -d '\r'; }
# install BITS PACKAGE ARGS..., uninstall BITS PACKAGE: silently, remembering
# what to take away on the way out.
installed=()
install() { msiexec "$1" /i "$(winpath "$2")" "${@:3}" && installed+=("$1:$2"); }
uninstall() { msiexec "$1" /x "$(winpath "$2")" && installed=("${installed[@]/"$1:$2"/}"); }

# The build's own registrations make way, and come back on the way out.
korvid_keys
regsvr32() { korvid_timeout 60 "$(KORVID_BITS=$1 korvid_system_wine)" "$(KORVID_BITS=$1 korvid_system_dir)\\regsvr32.exe" /s "${@:2}"; }
INSTALL="$(winepath -u "$(folder "$bits")")"
# value KEY VIEW: the key's default value (empty when there is none).
value() { { reg query "$1" /ve "/reg:$2" || true; } | sed -n 's/.*REG_SZ *//p'; }
other_dll="$(value "HKCR\\CLSID\\$clsid\\InprocServer32" "$other")"
restore() {
    for msi in "${installed[@]}"; do [ -z "$msi" ] || msiexec "${msi%%:*}" /x "$(winpath "${msi#*:}")" || true; done
    rm -rf "$INSTALL"
    regsvr32 "$bits" "$WIN_BIN\\Korvid.dll" || true
    [ -z "$other_dll" ] || regsvr32 "$other" "$other_dll" || true
    rm -rf "$WORK"
}
trap restore EXIT
regsvr32 "$bits" /u "$WIN_BIN\\Korvid.dll"
[ -z "$other_dll" ] || regsvr32 "$other" /u "$other_dll"

# files NAME: the installed folder's files in $WORK/NAME.out, compared.
files() { (cd "$INSTALL" 2>/dev/null && find . -mindepth 1 | sort) >"$WORK/$1.out" || true; expect "$WORK/$1.out"; }
# products NAME: our products of this bitness in Add/Remove Programs, compared.
products() {
    reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "/reg:$bits" |
        grep -A20 "DisplayName.*Korvid $bits-bit" | grep -E 'Display(Name|Version)' |
        sed "s/^ *//; s/$bits-bit/<BITS>-bit/; s/$version/<VERSION>/" >"$WORK/$1.out" || true
    expect "$WORK/$1.out"
}

reg add "$ident\\TypeLib" /ve /d '{11111111-2222-3333-4444-555555555555}' /f "/reg:$bits" >/dev/null
bash "$BIN/../msi/msi_make.sh" 0.9.0 "$older" >/dev/null 2>&1
install "$bits" "$older"
files older_files
[ "$(value "$ident\\TypeLib" "$bits")" = '{11111111-2222-3333-4444-555555555555}' ] ||
    fail "the package took over ICapeIdentification's key of another type library"
reg delete "$ident" /f "/reg:$bits" >/dev/null
install "$bits" "$(package "$bits" "$version")" ADDLOCAL=ALL
products upgraded
files installed_files

WIN_BIN="$(folder "$bits")"
EXPECTED="$DATA/expected/registration" dump registered
sample_unit_keys && EXPECTED="$DATA/expected/sample_unit" dump registered
BIN="$INSTALL" run --como "$COMO" -- vbs create
mv "$WORK/client.out" "$WORK/create_other.out" && EXPECTED="$DATA/expected/registration" expect "$WORK/create_other.out"

# validate BITS NAME ARGS...: the installed korvid-validate of that bitness
# on the sample unit; its printout and summary compared with the validator
# test's NAME.
validate() {
    local code=0 dir
    dir="$(winepath -u "$(folder "$1")")"
    korvid_timeout 120 "$(KORVID_BITS=$1 korvid_system_wine)" "$dir/korvid-validate.exe" --unit Korvid.SampleFlashDrum \
        --como "$(folder "$1")\\three_components.como" --report-prefix e2e "${@:3}" 2>&1 |
        WIN_BIN="$(folder "$1")" norm >"$WORK/$2.out" || code=$?
    tr -d '\r' <"$dir/CapeOpenValidationReports/e2e-summary.txt" >"$WORK/$2.summary"
    [ "$code" = 0 ] || { cat "$WORK/$2.out" >&2; fail "korvid-validate ($1-bit) exited $code"; }
    EXPECTED="$DATA/expected/validate" expect "$WORK/$2".{out,summary}
}
validate "$bits" clean
validate "$bits" clean11 --thermo 1.1

# Side by side: the other bitness's package comes and goes. The ProgIDs and
# type libraries' version keys, one for both views on Windows, are the same
# 32-bit components in both packages, which Windows keeps while either
# package is installed (Wine has a ProgID key in each view, and this test
# cannot show it there).
shared() { msiinfo export "$1" Component | awk '$1 ~ /Shared$/ { print $1, $2, $4 }'; }
if [ -f "$(package "$other" "$version")" ]; then
    shared "$(package "$bits" "$version")" >"$WORK/shared.out"
    grep -c ' 4$' "$WORK/shared.out" | grep -qx 3 || { cat "$WORK/shared.out" >&2; fail "not three 32-bit shared components"; }
    shared "$(package "$other" "$version")" | diff "$WORK/shared.out" - >&2 || fail "the packages' shared components differ"
    install "$other" "$(package "$other" "$version")" ADDLOCAL=ALL
    uninstall "$other" "$(package "$other" "$version")"
    validate "$bits" clean
else
    echo "side by side not tried: no $(package "$other" "$version")"
fi

uninstall "$bits" "$(package "$bits" "$version")"
products uninstalled_products
files uninstalled_files
for view in "$bits" "$other"; do
    bits=$view korvid_keys && ours=("${keys[@]}") && bits=$view sample_unit_keys
    for key in "${ours[@]}" "${keys[@]}"; do
        ! reg query "$key" "/reg:$view" >/dev/null || echo "$key ($view-bit view)"
    done
done >"$WORK/left.out"
[ ! -s "$WORK/left.out" ] || { cat "$WORK/left.out" >&2; fail "the uninstall left these keys"; }
