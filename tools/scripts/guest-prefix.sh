#!/usr/bin/env bash
# mmdebstrap's customize hook for the emulated machine's image
# (emulated-x86.sh), run where this machine executes 32-bit programs: makes
# the guest's Wine prefix natively, with the root's own Wine under chroot and
# the environment the guest's init gives (HOME, LANG), on a display of its
# own. The same Wine and the same paths make the same prefix as the guest's
# first boot would, in about half a minute instead of about seven. Never
# fails: when the prefix is not complete, it is removed, and emulated-x86.sh
# makes it in the guest's first boot.
root="$1"
prefix="$root/root/.cache/korvid/wine"
mkdir -p "$root/dev/shm"
mount -t tmpfs tmpfs "$root/dev/shm" || exit 0
if mount -t tmpfs tmpfs "$root/tmp"; then
    cp "$(dirname "$0")/wine-env.sh" "$root/tmp/wine-env.sh"
    # The display is this job's own: killed by its process id, never by name.
    chroot "$root" /usr/bin/env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=/root LANG=C.UTF-8 \
        bash -ec 'Xvfb :199 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
                  xvfb=$!
                  for _ in $(seq 1 50); do DISPLAY=:199 xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
                  export DISPLAY=:199
                  source /tmp/wine-env.sh
                  korvid_start_wine
                  korvid_stop_wine
                  kill "$xvfb"' </dev/null >"$root/tmp/prefix.log" 2>&1 ||
        { echo "the Wine prefix could not be made natively:"; cat "$root/tmp/prefix.log"; } >&2
    umount "$root/tmp"
fi
umount "$root/dev/shm"
if [ ! -f "$prefix/system.reg" ] || [ ! -f "$prefix/drive_c/windows/syswow64/regsvr32.exe" ]; then
    rm -rf "$prefix"
fi
exit 0
