#!/usr/bin/env bash
# Files the real form meets: a component file of junk (every byte value, a
# megabyte line, mixed line ends, 10,000 components) loads 21 and counts the
# others; report names the OS refuses (characters, a device, a read-only and a
# hidden report) keep the form open and the files as they were, the next one
# is taken; without a report folder no name is taken, and the autofill closes
# the form with its close command: the creation goes on with reporting off.
source "$(dirname "$0")/lib.sh" "$1"
{
    printf 'NAME=Methane;CAS=74-82-8;TB=111.66\r\n'
    for byte in $(seq 0 255); do [ "$byte" = 10 ] || [ "$byte" = 13 ] || printf "\\x$(printf %02x "$byte")"; done
    printf '\r\n;;;;\r\n====\nNAME=%s;CAS=1\r' "$(head -c 1048576 /dev/zero | tr '\0' x)"
    seq 1 10000 | awk '{ printf "NAME=n%d;CAS=%d\r\n", $1, $1 }'
    printf 'NAME=last;CAS=cut'
} >"$WORK/odd.como"
kept=("$REPORTS/e2e_readonly.txt" "$REPORTS/.e2e_hidden.txt")
trap '[ ! -d "$REPORTS.away" ] || mv "$REPORTS.away" "$REPORTS"; chmod 644 "${kept[@]}"; rm -rf "${kept[@]}" "$WORK"' EXIT
printf 'kept\r\n' | tee "${kept[@]}" >/dev/null && chmod 444 "${kept[0]}" && rm -f "$REPORTS/e2e_files.txt"
run --como "$(winpath "$WORK/odd.como")" --report 'bad|name' --report CON --report e2e_readonly --report .e2e_hidden \
    --report e2e_files -- vbs create
cat "${kept[@]}" >"$WORK/kept.out"
expect "$WORK/client.out" "$WORK/autofill.out" "$WORK/kept.out" "$REPORTS/e2e_files.txt"
mv "$REPORTS" "$REPORTS.away"
korvid_timeout 60 wine "$BIN/korvid-autofill.exe" --como "$COMO" --report e2e_files --timeout "$(korvid_scaled 60)" 2>&1 | norm >"$WORK/no_folder.out" ||
    echo "exit code $?" >>"$WORK/no_folder.out" &
vbs create >"$WORK/no_folder_client.out" 2>&1 || echo "exit code $?" >>"$WORK/no_folder_client.out"
wait $!
norm <"$WORK/no_folder_client.out" >>"$WORK/no_folder.out"
expect "$WORK/no_folder.out"
