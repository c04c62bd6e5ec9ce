#!/usr/bin/env bash
# Runs every test: the unit tests under Wine, the end-to-end tests through
# real COM and the form under a virtual display. Sets up and builds both
# bitnesses first and makes their packages (zip and MSI). The 64-bit build
# runs every test; the 32-bit build its end-to-end tests, in an emulated x86
# machine where this machine cannot execute 32-bit programs (bitness.sh says
# how to choose).
set -euo pipefail
# The tests run on a virtual display of their own (KORVID_DISPLAY), never on a
# desktop: a window manager or another program there may take the keyboard
# focus from the form under test.
unset DISPLAY
source "$(dirname "$0")/prepare.sh"
for bits in 32 64; do
    cmake --build "$(korvid_build_dir "$bits")" --target msi package >/dev/null
done
status=0
(cd "$(korvid_build_dir 64)" && ctest --output-on-failure --timeout 600) || status=$?
case "$(korvid_32bit_way)" in
    native)
        echo "== 32-bit end-to-end tests"
        bash tools/scripts/test-32bit.sh || status=$?
        ;;
    emulated)
        korvid_stop_wine
        bash tools/scripts/emulated-x86.sh || status=$?
        ;;
    skipped) echo "32-bit end-to-end tests skipped: KORVID_SKIP_EMULATED is set" ;;
esac
korvid_stop_wine
exit $status
