#!/usr/bin/env bash
# Creations through the real definition form, each filled by korvid-autofill,
# beside CPU-bound processes: the handoff of the component file must hold on
# a busy machine. A stress run on demand, not a test: it judges no time. In
# the emulated x86 machine: emulated-x86.sh --run tools/scripts/stress-autofill.sh ...
#   --count N  creations per bitness (default 500), in host processes of up
#              to 50 creations each; every Kth host (--busy-every K, default 5)
#              makes 3, each after working 6 s without taking messages (its
#              form's thread then counts as hung until the form's loop runs)
#   --bits B   "64 32" (the default), 64 or 32
#   --load N   CPU-bound processes running meanwhile (default 2)
# Prints, per bitness, the creations made, the failures and the time taken;
# exits 1 when any creation or autofill failed. Expects the builds (setup.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/scripts/bitness.sh
source tools/scripts/wine-env.sh

count=500 bits="64 32" load=2 every=5
while [ $# -gt 0 ]; do
    case "$1" in
        --count) count="$2" ;;
        --bits) bits="$2" ;;
        --load) load="$2" ;;
        --busy-every) every="$2" ;;
        *) echo "usage: stress-autofill.sh [--count N] [--bits '64 32'] [--load N] [--busy-every K]" >&2 && exit 4 ;;
    esac
    shift 2
done

work="$(mktemp -d)"
hogs=()
cleanup() {
    for hog in "${hogs[@]}"; do kill "$hog" 2>/dev/null || true; done
    korvid_stop_wine
    rm -rf "$work"
}
trap cleanup EXIT
korvid_start_display
korvid_start_wine
for _ in $(seq "$load"); do
    (while :; do :; done) &
    hogs+=($!)
done

como="$(pwd)/tests/data/three_components.como"
created='created: str["Methane" "Ethane" "Water"] str["74-82-8" "74-84-0" "7732-18-5"]'
status=0
for b in $bits; do
    export KORVID_BITS="$b"
    bin="$(korvid_build_dir "$b")/bin"
    korvid_timeout 60 "$(korvid_system_wine)" "$(korvid_system_dir)\\regsvr32.exe" /s "$bin/Korvid.dll"
    made=0 failed=0 host=0 busy_made=0 start=$SECONDS
    while [ $((made + failed)) -lt "$count" ]; do
        host=$((host + 1)) n=50 busy=()
        [ $((host % every)) != 0 ] || n=3 busy=(env KORVID_PROBE_BUSY=6)
        [ "$n" -le $((count - made - failed)) ] || n=$((count - made - failed))
        timeout "$(korvid_scaled $((60 + n * 10)))" wine "$bin/korvid-autofill.exe" --como "$como" \
            --forms "$n" --timeout "$(korvid_scaled $((30 + n * 10)))" >"$work/autofill.out" 2>&1 &
        filler=$!
        # The probe ends itself after 100 s (stretched): as many hosts as that needs.
        "${busy[@]}" timeout "$(korvid_scaled $((60 + n * 10)))" wine "$bin/korvid-e2e-host.exe" probe "$n" \
            2>/dev/null | tr -d '\r' >"$work/probe.out" || true
        code=0
        wait "$filler" || code=$?
        good=$(grep -c -xF "$created" "$work/probe.out" || true)
        made=$((made + good))
        [ ${#busy[@]} = 0 ] || busy_made=$((busy_made + good))
        if [ "$good" != "$n" ] || [ "$code" != 0 ]; then
            failed=$((failed + n - good))
            echo "host $host ($n creations): $good made, autofill exit $code" >&2
            sed 's/^/  autofill: /' "$work/autofill.out" | tr -d '\r' >&2
            grep -v -xF "$created" "$work/probe.out" | sed 's/^/  host: /' >&2 || true
        fi
    done
    echo "win$b: $made of $count creations made through the form ($busy_made after 6 s busy), $failed failed," \
        "$((SECONDS - start)) s, beside $load CPU-bound processes"
    [ "$failed" = 0 ] || status=1
done
exit $status
