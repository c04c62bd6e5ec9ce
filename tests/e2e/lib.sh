# Sourced by the end-to-end tests: `source lib.sh <bin folder>`.
# Registers Korvid.dll in the project's Wine prefix and offers helpers to run
# VBScript and C++ clients with korvid-autofill.exe filling the forms, and to
# compare trace reports byte for byte.
set -euo pipefail

E2E_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT_DIR="$(cd "$E2E_DIR/../.." && pwd)"
BIN="$(cd "${1:?bin folder}" && pwd)"
DATA="$ROOT_DIR/tests/data"
WORK="$(mktemp -d "${TMPDIR:-/tmp}/korvid-e2e.XXXXXX")"
REPORTS="$BIN/CapeOpenValidationReports"
trap 'rm -rf "$WORK"' EXIT

source "$ROOT_DIR/tools/scripts/wine-env.sh"
korvid_start_display
korvid_start_wine
# regsvr32 and cscript of the bitness under test (KORVID_BITS).
REGSVR32="$(korvid_system_dir)\\regsvr32.exe"
CSCRIPT="$(korvid_system_dir)\\cscript.exe"
mkdir -p "$REPORTS"
timeout 60 wine "$REGSVR32" /s "$(winepath -w "$BIN/Korvid.dll")"

fail() { echo "FAIL: $*" >&2; exit 1; }

# Windows path of a Linux path.
winpath() { winepath -w "$1" 2>/dev/null; }

# run_with_autofill AUTOFILL_ARGS -- CLIENT COMMAND...
# Starts korvid-autofill.exe with the given arguments, runs the client, waits
# for both; the client's output goes to $WORK/client.out, autofill's to
# $WORK/autofill.out. The client's exit code is left in $CLIENT_RC (client_passed
# judges the client); fails when autofill failed.
run_with_autofill() {
    local args=()
    while [ "$1" != "--" ]; do args+=("$1"); shift; done
    shift
    timeout "${CLIENT_TIMEOUT:-120}" wine "$BIN/korvid-autofill.exe" "${args[@]}" >"$WORK/autofill.out" 2>&1 &
    local filler=$!
    local rc=0
    if declare -F "$1" >/dev/null; then
        "$@" >"$WORK/client.out" 2>&1 || rc=$?
    else
        timeout "${CLIENT_TIMEOUT:-120}" "$@" >"$WORK/client.out" 2>&1 || rc=$?
    fi
    local frc=0
    wait "$filler" || frc=$?
    tr -d '\r' <"$WORK/client.out" >"$WORK/client.txt"
    tr -d '\r' <"$WORK/autofill.out" >"$WORK/autofill.txt"
    if [ "$frc" != 0 ]; then
        cat "$WORK/autofill.txt" >&2
        cat "$WORK/client.txt" >&2
        fail "korvid-autofill.exe exited $frc"
    fi
    CLIENT_RC=$rc
}

# run_vbs SCRIPT [ARGS...]: runs a VBScript client (with the shared prelude)
# under cscript. Wine's cscript swallows script errors, so every script ends
# with Finish, which prints "END failures=N" and quits with N.
run_vbs() {
    local script="$1"; shift
    local name; name="$(basename "$script")"
    cat "$E2E_DIR/vbs/prelude.vbs" "$script" >"$WORK/$name"
    (cd "$WORK" && timeout "${CLIENT_TIMEOUT:-120}" wine "$CSCRIPT" //nologo "$name" "$@")
}

# client_passed: the client printed its end marker with no failure.
client_passed() {
    [ "${CLIENT_RC:-0}" = 0 ] && grep -q '^END failures=0$' "$WORK/client.txt" || {
        cat "$WORK/client.txt" >&2
        fail "the client reported failures or did not finish"
    }
}

# expect_report NAME EXPECTED: the report NAME.txt equals the expected file
# (written with LF ends; the report has CR LF) byte for byte.
expect_report() {
    local actual="$REPORTS/$1.txt" expected="$2"
    [ -f "$actual" ] || fail "no report $actual"
    sed 's/$/\r/' "$expected" >"$WORK/expected.crlf"
    if ! cmp -s "$WORK/expected.crlf" "$actual"; then
        diff <(tr -d '\r' <"$actual") "$expected" >&2 || true
        fail "report $1 differs from $expected"
    fi
}

# Banner and call header lines of a traced call, for building expectations.
banner() { printf '%085d\n' 0 | tr 0 '*'; }
header() { banner; echo "* $1"; banner; }
