#!/usr/bin/env bash
# Files that the real form meets. A component file that is mostly junk (a line
# of every byte value, NUL included, a line of a megabyte, separators only,
# mixed line ends, 10,000 components and a last line without its end): the
# first 21 components are loaded and the status line counts the others.
# Report names the OS refuses, typed in turn: characters no file name may
# hold, a device, a read-only and a hidden report; each keeps the form open
# with "Enter a different name for reporting." and leaves the file alone, the
# next valid name is taken. Without a report folder no name is taken.
source "$(dirname "$0")/lib.sh" "$1"

odd="$WORK/odd.como"
{
    printf 'NAME=Methane;CAS=74-82-8;TB=111.66\r\n'
    for byte in $(seq 0 255); do [ "$byte" = 10 ] || [ "$byte" = 13 ] || printf "\\x$(printf %02x "$byte")"; done
    printf '\r\n;;;;\r\n====\nNAME='
    head -c 1048576 /dev/zero | tr '\0' x
    printf ';CAS=1\r'
    seq 1 10000 | awk '{ printf "NAME=n%d;CAS=%d\r\n", $1, $1 }'
    printf 'NAME=last;CAS=cut'
} >"$odd"
kept=("$REPORTS/e2e_readonly.txt" "$REPORTS/.e2e_hidden.txt")
trap 'chmod 644 "${kept[@]}"; rm -rf "${kept[@]}" "$WORK"' EXIT
rm -f "$REPORTS/e2e_files.txt"
printf 'kept\r\n' | tee "${kept[@]}" >/dev/null
chmod 444 "${kept[0]}"
run --como "$(winpath "$odd")" --report 'bad|name' --report CON --report e2e_readonly --report .e2e_hidden \
    --report e2e_files -- vbs create
cat "${kept[@]}" >"$WORK/kept.out"
expect "$WORK/client.out" "$WORK/autofill.out" "$WORK/kept.out" "$REPORTS/e2e_files.txt"

mv "$REPORTS" "$REPORTS.hidden"
trap 'rm -rf "$REPORTS"; mv "$REPORTS.hidden" "$REPORTS"; chmod 644 "${kept[@]}"; rm -rf "${kept[@]}" "$WORK"' EXIT
timeout 60 wine "$CSCRIPT" //nologo "$(winpath "$WORK/create.vbs")" >/dev/null 2>&1 &
client=$!
rc=0
timeout 60 wine "$BIN/korvid-autofill.exe" --como "$COMO" --report e2e_files --timeout 30 2>&1 | norm >"$WORK/no_folder.out" || rc=$?
kill "$client" 2>/dev/null || true
wait "$client" 2>/dev/null || true
echo "exit code $rc" >>"$WORK/no_folder.out"
expect "$WORK/no_folder.out"
echo "PASS files"
