#!/usr/bin/env bash
# A million traced SetProp/GetProp calls in one process: memory stays flat and
# the report holds every line (korvid-soak.exe checks both; about 10 s).
set -euo pipefail
bin="$(cd "${1:?bin folder}" && pwd)"
source "$(dirname "$0")/../../tools/scripts/wine-env.sh"
korvid_start_wine
cd "$bin"
timeout 600 wine korvid-soak.exe 1000000 | tr -d '\r'
echo "PASS soak"
