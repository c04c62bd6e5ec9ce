#!/usr/bin/env bash
# Runs every test: the unit tests under Wine, the end-to-end tests through
# real COM and the form under a virtual display. Sets up and builds both
# bitnesses first and makes their packages. The 64-bit build runs every test;
# the 32-bit build its end-to-end tests where this machine runs 32-bit programs.
set -euo pipefail
source "$(dirname "$0")/prepare.sh"
for bits in 32 64; do
    cmake --build "$(korvid_build_dir "$bits")" --target package >/dev/null
done
status=0
(cd "$(korvid_build_dir 64)" && ctest --output-on-failure --timeout 600) || status=$?
if korvid_can_run_32bit; then
    echo "== 32-bit end-to-end tests"
    # A prefix made before wine32 was installed lacks the 32-bit programs.
    if [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/regsvr32.exe" ]; then
        timeout 300 wine wineboot -u </dev/null >/dev/null 2>&1 || true
    fi
    (cd "$(korvid_build_dir 32)" && ctest --output-on-failure --timeout 600) || status=$?
else
    echo "$KORVID_SKIP_32BIT_E2E"
fi
korvid_stop_wine
exit $status
