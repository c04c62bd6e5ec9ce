#!/usr/bin/env bash
# Seeds faults into the product code one at a time and tells which test
# catches each: applies one fault of tools/scripts/faults.txt, rebuilds the
# 64-bit build incrementally, runs the `unit` test and, when it still passes,
# the rest of ctest up to the first failure, then puts the file back exactly.
# Ends with a table (fault, caught by or NOT CAUGHT) and the faults no test
# caught. Run on demand; it is not part of the tests.
#
#   bash tools/scripts/seed-faults.sh                 every fault
#   bash tools/scripts/seed-faults.sh --only 3,7,12   faults by number
#   bash tools/scripts/seed-faults.sh --only trace-   faults whose name holds the text
#   bash tools/scripts/seed-faults.sh --list          the list, each snippet checked
#   --faults FILE  another fault list;  --unit-only  stop after the unit test
#   --exclude RE   ctest tests left out (default ^e2e.test_package$: the zips are
#                  not remade for a fault)
#
# KORVID_BUILD_DIR, KORVID_WINEPREFIX and KORVID_DISPLAY as for test.sh; the
# build folder (<root>/win64) must have been set up before (setup.sh), with
# the 32-bit one beside it: the MSI faults of the two packages side by side
# need the 32-bit package. The results also go to
# <root>/win64/seed-faults/results.txt. Two worktrees with their own prefix
# and display may each run a share of the list (--only) side by side.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
source tools/scripts/bitness.sh
build="$(korvid_build_dir 64)"
for arg in "$@"; do
    if [ "$arg" = --list ]; then
        exec python3 tools/scripts/seed_faults.py --build "$build" "$@"
    fi
done
if [ ! -f "$build/CMakeCache.txt" ]; then
    echo "no build in $build: run tools/scripts/setup.sh first" >&2
    exit 4
fi
source tools/scripts/wine-env.sh
unset DISPLAY  # a virtual display of its own, as test.sh
korvid_start_display
korvid_start_wine
status=0
python3 tools/scripts/seed_faults.py --build "$build" "$@" || status=$?
korvid_stop_wine
exit $status
