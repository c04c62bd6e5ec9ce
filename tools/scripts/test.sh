#!/usr/bin/env bash
# Runs every test: the unit tests under Wine, the end-to-end tests through
# real COM and the form under a virtual display. Sets up and builds first.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tools/scripts/setup.sh
build="${KORVID_BUILD_DIR:-build}"
source tools/scripts/wine-env.sh
korvid_start_display
korvid_start_wine
status=0
(cd "$build" && ctest --output-on-failure --timeout 600) || status=$?
korvid_stop_wine
exit $status
