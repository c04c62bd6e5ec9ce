#!/usr/bin/env bash
# Runs the 32-bit end-to-end tests (test-32bit.sh) in an emulated x86 machine,
# for machines whose kernel cannot execute 32-bit programs: a Debian guest
# under qemu-system-x86_64 whose kernel can, with 32-bit Wine. Expects both
# builds (setup.sh). Prints the guest's ctest lines and exits with its code.
#
# The guest's root image is built once from this machine's own apt sources
# (mmdebstrap), with a Wine prefix already made in it (guest-prefix.sh), and kept under
# KORVID_GUEST_CACHE (default ~/.cache/korvid/guest) in a folder named after
# what it is built from: a change of the package list, the apt sources or the
# guest's init makes a new one (and the old ones are removed).
#   --image             only build the image (when it is not there yet)
#   --run SCRIPT ARGS   runs the project's SCRIPT with ARGS in the guest
#                       instead of the tests (--run tools/scripts/smoke-32bit.sh)
#   other arguments     go to the guest's ctest (-R fuzz: one test)
#   KORVID_GUEST_CACHE  where the image is kept
#   KORVID_BUILD_DIR    the build root (see bitness.sh)
set -euo pipefail
cd "$(dirname "$0")/../.."
KORVID_ROOT="$(pwd)"
source tools/scripts/bitness.sh

guest_packages=(linux-image-amd64 initramfs-tools kmod udev mount procps util-linux mawk
                diffutils wine wine64 wine32:i386 xvfb x11-utils xauth xdotool imagemagick cmake
                wixl msitools libxml2-utils)
sources=/etc/apt/sources.list.d/debian.sources
[ -f "$sources" ] || sources=/etc/apt/sources.list
suite="$(. /etc/os-release && echo "$VERSION_CODENAME")"
cache="${KORVID_GUEST_CACHE:-$HOME/.cache/korvid/guest}"
key="$( { printf '%s\n' "$suite" "${guest_packages[@]}"; cat "$sources" tools/scripts/guest-init.sh; } |
        sha256sum | cut -c1-16)"
image="$cache/$key"

# TCG, QEMU's own translation, runs the guest 6 to 10 times slower than
# native: every time limit of the tests is stretched to match. (KVM, where a
# machine offers it nested, fails to start or hangs this guest: not used.)
# `smap=off`: with SMAP, QEMU 7.2's TCG makes the guest kernel oops on an
# iret to 32-bit user code, killing every 32-bit program.
scale=10

# The guest's own time limit, in native seconds (stretched by the scale): an
# hour for the image's first boot and a script such as the smoke; the whole
# suite, whose every test may take ten, gets two and a half (its 16 tests
# take about 30 minutes on a quiet machine, well over an hour under load).
limit=360

# boot JOB_DIR IMAGE_DIR [persist]: starts the guest on the job folder's
# job.sh and waits until it has switched itself off (or the time limit
# passes). The image is used as a snapshot unless `persist` is given.
boot() {
    local job="$1" dir="$2" snapshot=on
    [ "${3:-}" = persist ] && snapshot=off
    local build_root="$KORVID_BUILD_ROOT"
    timeout "$((scale * limit))" qemu-system-x86_64 -machine q35 -accel tcg,thread=multi -cpu max,smap=off \
        -smp "$(nproc)" -m 3072 -nographic -no-reboot -nic none \
        -kernel "$dir/vmlinuz" -initrd "$dir/initrd.img" \
        -append "root=/dev/vda rw console=ttyS0 init=/sbin/korvid-init panic=-1 quiet" \
        -drive "file=$dir/root.img,format=raw,if=virtio,cache=unsafe,snapshot=$snapshot" \
        -virtfs "local,path=$KORVID_ROOT,mount_tag=project,security_model=none,readonly=on" \
        -virtfs "local,path=$build_root,mount_tag=build,security_model=none,readonly=on" \
        -virtfs "local,path=$job,mount_tag=job,security_model=none" \
        </dev/null >"$job/console" 2>&1 || true
    [ -f "$job/rc" ] || { cat "$job/console" "$job/log" 2>/dev/null >&2; echo "the emulated machine ended without finishing its job" >&2; return 1; }
}

build_image() {
    echo "Building the emulated machine's image (once per package list): $image"
    mkdir -p "$cache"
    work="$(mktemp -d "$cache/building.XXXXXX")"
    # Never across a file system still mounted in the root.
    trap 'rm -rf --one-file-system "$work"' EXIT
    local include hooks=()
    include="$(IFS=,; echo "${guest_packages[*]}")"
    korvid_can_run_32bit && hooks=(--customize-hook="$KORVID_ROOT/tools/scripts/guest-prefix.sh")
    mmdebstrap --quiet --mode=root --variant=apt --architectures=amd64,i386 --include="$include" \
        "${hooks[@]}" "$suite" "$work/root" "$sources"
    install -m 755 tools/scripts/guest-init.sh "$work/root/sbin/korvid-init"
    cp "$work/root/boot"/vmlinuz-* "$work/vmlinuz"
    cp "$work/root/boot"/initrd.img-* "$work/initrd.img"
    local native=0
    [ -f "$work/root/root/.cache/korvid/wine/system.reg" ] && native=1
    mke2fs -q -t ext4 -L korvid-guest -d "$work/root" "$work/root.img" 4G
    rm -rf "$work/root"
    # The Wine prefix, made once in the image: natively while the root was
    # built (guest-prefix.sh), else in the emulated machine's first boot
    # (about 7 minutes).
    if [ "$native" = 0 ]; then
        mkdir -p "$work/job"
        cat >"$work/job/job.sh" <<'JOB'
set -ex
source /mnt/project/tools/scripts/wine-env.sh
korvid_start_display
korvid_start_wine
korvid_stop_wine
sync
JOB
        boot "$work/job" "$work" persist
        [ "$(cat "$work/job/rc")" = 0 ] || { cat "$work/job/log" "$work/job/console" >&2; return 1; }
        rm -rf "$work/job"
    fi
    find "$cache" -mindepth 1 -maxdepth 1 ! -name "building.*" -exec rm -rf {} +
    mv "$work" "$image"
}

[ -f "$image/root.img" ] || build_image
[ "${1:-}" != --image ] || exit 0
run=(tools/scripts/test-32bit.sh)
if [ "${1:-}" = --run ]; then
    run=("$2")
    shift 2
else
    limit=900
fi

# The job: the checkout and the builds copied to the same paths inside the
# guest (ctest's files name them), on a tmpfs, then the 32-bit tests.
job="$(mktemp -d "${TMPDIR:-/tmp}/korvid-guest-job.XXXXXX")"
trap 'rm -rf "$job"' EXIT
build_in_checkout="${KORVID_BUILD_ROOT#"$KORVID_ROOT"/}"
cat >"$job/job.sh" <<JOB
set -e
mkdir -p '$KORVID_ROOT' '$KORVID_BUILD_ROOT'
tar -C /mnt/project --exclude=./.git --exclude='./$build_in_checkout' -cf - . | tar -C '$KORVID_ROOT' -xf -
mkdir -p /mnt/build && mount -t 9p -o trans=virtio,version=9p2000.L,msize=1048576,ro build /mnt/build
(cd /mnt/build && tar --exclude='*/CMakeFiles' --exclude='*/googletest' --exclude='*.obj' \
    --exclude='win64/generated' -cf - ./*.zip ./*.msi win32 win64/bin) | tar -C '$KORVID_BUILD_ROOT' -xf -
export KORVID_BUILD_DIR='$KORVID_BUILD_ROOT' KORVID_TIME_SCALE=$scale
# What runs, every minute, for a look from outside while the tests go on.
while sleep 60; do { date; ps -eo pid,etime,args | grep -v -e ' \[' -e 'ps -eo'; } >/mnt/job/processes; done &
cd '$KORVID_ROOT' && bash $(printf '%q ' "${run[@]}" "$@")
JOB
echo "== ${run[*]} in an emulated x86 machine (time limits x$scale;" \
     "its processes every minute in $job/processes)"
boot "$job" "$image"
cat "$job/log"
exit "$(cat "$job/rc")"
