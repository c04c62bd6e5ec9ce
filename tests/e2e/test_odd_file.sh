#!/usr/bin/env bash
# A component file that is mostly junk, loaded through the real form and the
# real file functions: a line of every byte value (NUL included), a line of a
# megabyte, separators only, mixed line ends, then 10,000 component lines and
# a last line without its end. The form loads the first 21 components, says
# how many were ignored, and the object is created with them.
source "$(dirname "$0")/lib.sh" "$1"

odd="$WORK/odd.como"
{
    printf 'NAME=Methane;CAS=74-82-8;TB=111.66\r\n'
    for byte in $(seq 0 255); do
        [ "$byte" = 10 ] || [ "$byte" = 13 ] || printf "\\x$(printf %02x "$byte")"
    done
    printf '\r\n;;;;\r\n====\n'
    printf 'NAME='; head -c 1048576 /dev/zero | tr '\0' x; printf ';CAS=1\r'
    for k in $(seq 1 10000); do printf 'NAME=n%d;CAS=%d\r\n' "$k" "$k"; done
    printf 'NAME=last;CAS=cut'
} >"$odd"

run_with_autofill --como "$(winpath "$odd")" -- run_vbs "$E2E_DIR/vbs/odd_file.vbs"
client_passed
cat "$WORK/autofill.txt"
# Components: Methane, the byte line (it holds "="), "====", the long line,
# 10,000 numbered ones and the last: 10,005, of which 21 are loaded.
grep -qx 'status: Only the first 21 components were loaded; 9984 more were ignored.' \
    "$WORK/autofill.txt" || fail "the status line did not count the ignored components"
echo "PASS odd file"
