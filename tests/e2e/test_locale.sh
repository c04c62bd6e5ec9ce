#!/usr/bin/env bash
# Numbers through the real form in the user's locale, English and German
# (decimal comma): a component file with plain numbers and numbers in
# exponent form is loaded, saved from the grid and confirmed. The object
# serves the file's values (the grid showed them in the user's form and read
# them back unchanged), the saved file is what the writer makes of them
# (4 decimals, the user's separator), and traced numbers use the separator.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 ||
        { echo "FAIL: the locale de_DE.UTF-8 is missing (tools/scripts/setup.sh makes it)" >&2; exit 1; }
fi
source "$(dirname "$0")/lib.sh" "$1"

for run in "de_DE.UTF-8 exponents_comma" "C.UTF-8 exponents"; do
    read -r locale file <<<"$run"
    export LANG="$locale" LC_ALL="$locale"
    korvid_start_wine
    EXPECTED="$DATA/expected/locale/$file"
    rm -f "$REPORTS/e2e_locale.txt" "$WORK/saved.como"
    run --como "$(winpath "$DATA/$file.como")" --save "$WORK/saved.como" --report e2e_locale -- vbs locale
    expect "$WORK/client.out" "$REPORTS/e2e_locale.txt" "$WORK/saved.como"
done
echo "PASS locale"
