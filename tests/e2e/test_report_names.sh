#!/usr/bin/env bash
# Report names the OS refuses, typed one after the other into the real form:
# characters no file name may hold, a name of 300 characters, a device name,
# a read-only report and one another program holds without sharing. Each
# OK shows "Enter a different name for reporting." and keeps the form open
# with its components; the next valid name is accepted, and the refused files
# keep their content.
source "$(dirname "$0")/lib.sh" "$1"

long="$(printf '%0300d' 0 | tr 0 r)"
readonly_report="$REPORTS/e2e_readonly.txt"
locked_report="$REPORTS/e2e_locked.txt"
rm -f "$REPORTS/e2e_names.txt" "$readonly_report" "$locked_report" "$locked_report.release"
printf 'kept\r\n' >"$readonly_report"
chmod 444 "$readonly_report"
cleanup() {
    touch "$locked_report.release"
    [ -n "${holder:-}" ] && wait "$holder" 2>/dev/null
    chmod 644 "$readonly_report" 2>/dev/null
    rm -f "$readonly_report" "$locked_report" "$locked_report.release" "$REPORTS/e2e_names.txt"
    rm -rf "$WORK"
}
trap cleanup EXIT

timeout 120 wine "$BIN/korvid-e2e-hold-file.exe" "$(winpath "$locked_report")" 100 >"$WORK/hold.out" 2>&1 &
holder=$!
for _ in $(seq 1 100); do grep -q holding "$WORK/hold.out" 2>/dev/null && break; sleep 0.1; done
grep -q holding "$WORK/hold.out" || fail "the file holder did not start: $(cat "$WORK/hold.out")"

refused=('bad|name' 'what?' 'a<b>c' "$long" 'CON' 'e2e_readonly' 'e2e_locked')
args=()
for name in "${refused[@]}"; do args+=(--report "$name"); done
run_with_autofill --como "$(winpath "$DATA/three_components.como")" "${args[@]}" --report e2e_names -- \
    run_vbs "$E2E_DIR/vbs/report_names.vbs"
client_passed
cat "$WORK/autofill.txt"
count=$(grep -cx 'status: Enter a different name for reporting.' "$WORK/autofill.txt" || true)
[ "$count" = "${#refused[@]}" ] ||
    fail "expected ${#refused[@]} refusals, autofill printed $count"

header ICapeIdentification_ComponentName >"$WORK/expected.txt"
expect_report e2e_names "$WORK/expected.txt"
[ "$(cat "$readonly_report")" = $'kept\r' ] || fail "the read-only report was changed"
touch "$locked_report.release"
wait "$holder" || fail "the file holder failed"
holder=
[ -s "$locked_report" ] && fail "the locked report was written"
ls "$REPORTS" | grep -q '^rrrrrrrr' && fail "a file was made of the 300-character name"
echo "PASS report names"
