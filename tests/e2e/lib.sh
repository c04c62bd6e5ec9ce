# Sourced by the end-to-end tests: `source lib.sh <bin folder>`. Registers
# Korvid.dll in the project's Wine prefix, runs clients while
# korvid-autofill.exe fills their forms, and compares what they print and the
# trace reports with tests/data/expected/<test>/, byte for byte.
set -Eeuo pipefail
# A step that fails says which, rather than ending the test without a word.
trap 'echo "FAIL: $BASH_SOURCE:$LINENO: $BASH_COMMAND (exit code $?)" >&2' ERR

E2E_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BIN="$(cd "${1:?bin folder}" && pwd)"
DATA="$E2E_DIR/../data"
TEST="$(basename "$0" .sh)"
EXPECTED="$DATA/expected/${TEST#test_}"
WORK="$(mktemp -d "${TMPDIR:-/tmp}/korvid-e2e.XXXXXX")"
REPORTS="$BIN/CapeOpenValidationReports"
trap 'rm -rf "$WORK"' EXIT
source "$E2E_DIR/../../tools/scripts/wine-env.sh"
korvid_start_display
korvid_start_wine
# regsvr32 and cscript of the bitness under test, and the loader that starts them.
bits="${KORVID_BITS:-64}" REGSVR32="$(korvid_system_dir)\\regsvr32.exe" CSCRIPT="$(korvid_system_dir)\\cscript.exe"
SYSTEM_WINE="$(korvid_system_wine)"
winpath() { winepath -w "$1" 2>/dev/null; }
WIN_BIN="$(winpath "$BIN")" WIN_WORK="$(winpath "$WORK")" COMO="$(winpath "$DATA/three_components.como")"
mkdir -p "$REPORTS" && korvid_timeout 60 "$SYSTEM_WINE" "$REGSVR32" /s "$WIN_BIN\\Korvid.dll"

fail() { echo "FAIL: $*" >&2; exit 1; }

# norm: stdin without CR and Wine's own notes, this machine's folders and
# bitness named <BIN>, <WORK>, win<BITS> and win<OTHER>.
norm() {
    local text
    text="$(tr -d '\r' | { grep -v '^wine: ' || true; })"
    text="${text//"$WIN_BIN"/<BIN>}" text="${text//"$WIN_WORK"/<WORK>}"
    printf '%s\n' "${text//win$bits/win<BITS>}" | sed "s/win$((96 - bits))/win<OTHER>/g"
}

# run AUTOFILL_ARGS -- CLIENT...: the client (a command or a function) runs
# while korvid-autofill.exe fills its forms; their outputs go through norm to
# $WORK/client.out and $WORK/autofill.out. The autofill waits as long as the
# client may run: it ends only after the client.
run() {
    local args=(--timeout "$(korvid_scaled "${CLIENT_TIMEOUT:-120}")") filled=0
    while [ "$1" != -- ]; do args+=("$1") && shift; done
    korvid_timeout $((${CLIENT_TIMEOUT:-120} + 30)) wine "$BIN/korvid-autofill.exe" "${args[@]}" >"$WORK/autofill.raw" 2>&1 &
    local filler=$!
    if declare -F "$2" >/dev/null; then "${@:2}"; else korvid_timeout "${CLIENT_TIMEOUT:-120}" "${@:2}"; fi 2>&1 | norm >"$WORK/client.out" || true
    wait "$filler" || filled=$?
    norm <"$WORK/autofill.raw" >"$WORK/autofill.out"
    [ "$filled" = 0 ] || { cat "$WORK/autofill.out" "$WORK/client.out" >&2; fail "korvid-autofill.exe exited $filled"; }
}

# vbs NAME [ARGS...]: the VBScript client vbs/NAME.vbs after the shared prelude.
vbs() {
    cat "$E2E_DIR/vbs/prelude.vbs" "$E2E_DIR/vbs/$1.vbs" >"$WORK/$1.vbs"
    (cd "$WORK" && korvid_timeout "${CLIENT_TIMEOUT:-120}" "$SYSTEM_WINE" "$CSCRIPT" //nologo "$1.vbs" "${@:2}")
}

# expect FILE...: each FILE equals the file of its name in $EXPECTED, byte for
# byte. KORVID_E2E_BLESS=1 copies them there instead (then check them by eye).
expect() {
    for file in "$@"; do
        [ -z "${KORVID_E2E_BLESS:-}" ] || { mkdir -p "$EXPECTED" && cp "$file" "$EXPECTED/" && continue; }
        [ -f "$file" ] || fail "$file is missing; its folder holds: $(ls "$(dirname "$file")" | tr '\n' ' ')"
        cmp -s "$EXPECTED/${file##*/}" "$file" || diff "$EXPECTED/${file##*/}" "$file" >&2 || fail "$file differs"
    done
}

# dump NAME: the registry keys of the caller's $keys as reg lists them in
# this bitness's view (the type library's version key $lib without its
# subkeys' content), compared with NAME.out.
dump() {
    for key in "${keys[@]}"; do
        [ "$key" = "$lib" ] && s=() || s=(/s)
        korvid_timeout 30 "$SYSTEM_WINE" reg query "$key" "${s[@]}" "/reg:$bits" >"$WORK/key" 2>&1 && cat "$WORK/key" || echo "no $key"
    done | norm >"$WORK/$1.out"
    expect "$WORK/$1.out"
}

# passed: a checking client printed its end marker with no failure.
passed() { grep -qx 'END failures=0' "$WORK/client.out" || { cat "$WORK/client.out" >&2; fail "$TEST"; }; }
