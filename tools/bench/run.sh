#!/usr/bin/env bash
# Runs the benchmark under Wine from a bin folder that already holds
# korvid-bench.exe; builds nothing, registers the Korvid.dll beside it.
#   tools/bench/run.sh <bin folder> [rounds] [scale]
# KORVID_WINEPREFIX chooses the Wine prefix (see tools/scripts/wine-env.sh).
set -euo pipefail
bin="${1:?usage: run.sh <bin folder> [rounds] [scale]}"
shift
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=../scripts/wine-env.sh
source "$here/../scripts/wine-env.sh"
[ -f "$bin/korvid-bench.exe" ] || { echo "no korvid-bench.exe in $bin" >&2; exit 1; }
korvid_start_wine
cd "$bin"
# The creation without the form goes through COM: Korvid.dll registered.
timeout 60 wine regsvr32 /s Korvid.dll
timeout 600 wine korvid-bench.exe "$@"
