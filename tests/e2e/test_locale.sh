#!/usr/bin/env bash
# Numbers in the user's locale, English and German (decimal comma): a
# component file with plain numbers and numbers in exponent form, loaded,
# saved from the grid and confirmed through the real form. The object serves
# the file's values, the saved file is the writer's, traces use the separator.
locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8' || localedef -i de_DE -f UTF-8 de_DE.UTF-8 ||
    { echo "FAIL: no locale de_DE.UTF-8 (tools/scripts/setup.sh makes it)" >&2; exit 1; }
source "$(dirname "$0")/lib.sh" "$1"
for file in locale_comma locale; do
    [ "$file" = locale ] && export LANG=C.UTF-8 LC_ALL=C.UTF-8 || export LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8
    korvid_start_wine
    EXPECTED="$DATA/expected/locale/$file"
    rm -f "$REPORTS/e2e_locale.txt" "$WORK/saved.como"
    run --como "$(winpath "$DATA/$file.como")" --save "$WORK/saved.como" --report e2e_locale -- vbs locale
    expect "$WORK/client.out" "$REPORTS/e2e_locale.txt" "$WORK/saved.como"
done
