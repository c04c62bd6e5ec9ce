#!/usr/bin/env bash
# Runs the 32-bit end-to-end tests on this machine, with the 64-bit server
# registered beside the 32-bit one in the same prefix, as a user who installs
# both has them. test.sh runs it directly where the machine executes 32-bit
# programs, and emulated-x86.sh inside its emulated machine elsewhere.
# Expects both builds (setup.sh); prints ctest's lines and exits with its code.
# Arguments go to ctest (-R fuzz: the fuzzer's test alone).
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/scripts/bitness.sh
source tools/scripts/wine-env.sh
korvid_start_display
korvid_start_wine
# A prefix made before wine32 was installed lacks the 32-bit programs.
if [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/regsvr32.exe" ]; then
    timeout "$(korvid_scaled 300)" wine wineboot -u </dev/null >/dev/null 2>&1 || true
fi
korvid_timeout 60 "$(KORVID_BITS=64 korvid_system_wine)" 'C:\windows\system32\regsvr32.exe' /s \
    "$(korvid_build_dir 64)/bin/Korvid.dll"
status=0
(cd "$(korvid_build_dir 32)" && ctest --output-on-failure --timeout "$(korvid_scaled 600)" "$@") || status=$?
korvid_stop_wine
exit $status
