#!/bin/bash
# The first process of the emulated x86 machine (its init): mounts the
# project's checkout (read-only) and the job folder that the host shares,
# runs the job's script with its output in the job folder, writes the
# script's exit code beside it and switches the machine off.
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export HOME=/root LANG=C.UTF-8 TERM=dumb
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mkdir -p /dev/pts /dev/shm /tmp /run
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs -o size=6G tmpfs /tmp
mount -t tmpfs tmpfs /run
hostname korvid-guest
ip link set lo up 2>/dev/null || true
mkdir -p /mnt/project /mnt/job
share_options=trans=virtio,version=9p2000.L,msize=1048576
mount -t 9p -o "$share_options",ro project /mnt/project
mount -t 9p -o "$share_options" job /mnt/job
rc=99
if [ -f /mnt/job/job.sh ]; then
    rc=0
    bash /mnt/job/job.sh >/mnt/job/log 2>&1 </dev/null || rc=$?
fi
echo "$rc" >/mnt/job/rc
sync
umount /mnt/job 2>/dev/null
echo o >/proc/sysrq-trigger
sleep 60
