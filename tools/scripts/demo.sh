#!/usr/bin/env bash
# The demo: sets up and builds everything, registers Korvid.dll in a Wine
# prefix, and runs a VBScript host session whose definition form is filled by
# korvid-autofill.exe from a sample .como file. Prints the trace report.
set -euo pipefail
cd "$(dirname "$0")/../.."
root="$(pwd)"
bash tools/scripts/setup.sh
bin="$root/${KORVID_BUILD_DIR:-build}/bin"
source tools/scripts/wine-env.sh
korvid_start_display
korvid_start_wine
mkdir -p "$bin/CapeOpenValidationReports"
timeout 60 wine regsvr32 /s "$(winepath -w "$bin/Korvid.dll")"

report=demo
rm -f "$bin/CapeOpenValidationReports/$report.txt"
echo "== korvid-autofill.exe fills the definition form; the host runs under cscript"
timeout 120 wine "$bin/korvid-autofill.exe" --como "$(winepath -w "$root/tests/data/three_components.como")" \
    --report "$report" | tr -d '\r' &
filler=$!
(cd "$root/tools/demo" && timeout 120 wine cscript //nologo demo.vbs | tr -d '\r')
wait "$filler"
echo
echo "== Trace report: $(winepath -w "$bin/CapeOpenValidationReports/$report.txt")"
tr -d '\r' <"$bin/CapeOpenValidationReports/$report.txt"
