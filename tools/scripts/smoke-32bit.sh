#!/usr/bin/env bash
# A short smoke of the 32-bit build, for the emulated x86 machine that CI
# never starts where 32-bit programs run natively (.ci/run runs it there
# through emulated-x86.sh --run): registration, one creation through the real
# form filled by korvid-autofill, and the sample unit operation through
# korvid-validate. Expects both builds (setup.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tools/scripts/stress-autofill.sh --count 1 --bits 32 --load 0
source tools/scripts/bitness.sh
source tools/scripts/wine-env.sh
export KORVID_BITS=32
korvid_start_display
korvid_start_wine
bin="$(korvid_build_dir 32)/bin"
korvid_timeout 60 wine "$(korvid_system_dir)\\regsvr32.exe" /s "$bin/Korvid.dll"
korvid_timeout 60 wine "$(korvid_system_dir)\\regsvr32.exe" /s "$bin/KorvidSampleUnit.dll"
mkdir -p "$bin/CapeOpenValidationReports"
rm -f "$bin/CapeOpenValidationReports/smoke-summary.txt"
status=0
korvid_timeout 120 wine "$bin/korvid-validate.exe" --unit Korvid.SampleFlashDrum \
    --como "$(winepath -w tests/data/three_components.como)" --report-prefix smoke \
    --timeout "$(korvid_scaled 60)" >/dev/null 2>&1 || status=$?
tr -d '\r' <"$bin/CapeOpenValidationReports/smoke-summary.txt" | sed 's/^/korvid-validate: /' || true
korvid_stop_wine
exit $status
