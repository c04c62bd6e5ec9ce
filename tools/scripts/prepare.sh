# Sourced by test.sh, bench.sh and demo.sh: from the project's root, sets up
# the machine and builds both bitnesses (setup.sh), then brings up a Wine
# prefix of our own with its server running and, when no display is set, a
# virtual display. Leaves KORVID_ROOT and the helpers of bitness.sh and
# wine-env.sh behind.
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
KORVID_ROOT="$(pwd)"
bash tools/scripts/setup.sh
source tools/scripts/bitness.sh
source tools/scripts/wine-env.sh
korvid_start_display
korvid_start_wine
