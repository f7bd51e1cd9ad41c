#!/bin/busybox sh
# PID 1 of the test guest. Mounts the host's root read-only as the guest's root, with fresh
# /dev, /proc, /sys and /tmp, runs the job the host left in the "job" share, writes its
# output and status back there and resets the machine (qemu runs with -no-reboot, so it exits).
/bin/busybox --install -s /bin
export PATH=/bin

give_up() {
    echo "guest-init: $*" >/dev/console
    sync
    reboot -f
}

mkdir -p /proc /sys /dev /newroot /job /oldtmp
mount -t devtmpfs dev /dev
mount -t proc proc /proc
for module in $(cat /modules/order); do
    insmod "/modules/$module" || give_up "cannot load $module"
done

nine_p="trans=virtio,version=9p2000.L,msize=262144"
mount -t 9p -o "ro,cache=loose,$nine_p" hostroot /newroot || give_up "cannot mount the host root"
mount -t 9p -o "$nine_p" job /job || give_up "cannot mount the job share"

# /tmp is a fresh tmpfs; host paths below /tmp that the job needs (a clone or build tree, say)
# are bound back into it from the read-only host view.
mount --bind /newroot/tmp /oldtmp
mount -t tmpfs -o mode=1777 tmp /newroot/tmp
while read -r keep; do
    case "$keep" in
    /tmp/?*)
        mkdir -p "/newroot$keep"
        mount --bind "/oldtmp${keep#/tmp}" "/newroot$keep" || give_up "cannot keep $keep"
        ;;
    esac
done </job/keep
mount -t devtmpfs dev /newroot/dev
# What udev would have added: process substitution and friends need /dev/fd.
ln -sf /proc/self/fd /newroot/dev/fd
mount -t proc proc /newroot/proc
mount -t sysfs sys /newroot/sys
mkdir /newroot/tmp/vm-job
mount --bind /job /newroot/tmp/vm-job

chroot /newroot /bin/sh /tmp/vm-job/job.sh </dev/null >/job/stdout 2>/job/stderr
echo $? >/job/status
# Emulated docks may still be running; qemu ends them with the machine.
sync
reboot -f
