#!/usr/bin/env bash
# Boots Debian's kernel under qemu (software emulation) with the host's root shared
# read-only over 9p, runs one command in the guest and hands back its output and status:
#   run-vm.sh KERNEL_DIR WORK_DIR TIMEOUT_SECONDS -- COMMAND [ARG]...
# COMMAND may be "env NAME=VALUE... PROGRAM". The guest's /tmp is a fresh tmpfs, into which the
# host paths below /tmp that the job names (its trees, its work folder) are bound back.
# Exit status: the command's, 77 when qemu, busybox-static or the kernel cannot be had,
# 1 when the guest failed to report (hung, panicked, or init gave up).
set -u -o pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[ $# -ge 4 ] && [ "$4" = -- ] || { echo "run-vm: usage: see the head of $0" >&2; exit 2; }
kernel_dir=$1 work=$2 time_limit=$3
shift 4

skip() {
    echo "run-vm: SKIP: $*; run scripts/install-vm-deps.sh to get it" >&2
    exit 77
}
qemu-system-x86_64 -device help 2>/dev/null | grep -q virtio-9p-pci || skip "no qemu-system-x86_64 with 9p (virtfs) support"
command -v cpio >/dev/null || skip "cpio is not installed"
[[ $(ldd /bin/busybox 2>&1) == *"not a dynamic"* ]] || skip "no static busybox at /bin/busybox (package busybox-static)"
[ -s "$kernel_dir/vmlinux" ] && [ -s "$kernel_dir/modules/order" ] || skip "no unpacked kernel in $kernel_dir"

rm -rf "$work"
mkdir -p "$work/initramfs/bin" "$work/job"
work=$(cd "$work" && pwd)
job=$work/job

cp /bin/busybox "$work/initramfs/bin/busybox"
cp "$here/guest-init.sh" "$work/initramfs/init"
chmod 755 "$work/initramfs/init"
cp -r "$kernel_dir/modules" "$work/initramfs/modules"
(cd "$work/initramfs" && find . | cpio -o -H newc --quiet) >"$work/initramfs.cpio"

{
    # Plain C: loading a UTF-8 locale over 9p costs every process a tenth of a second here.
    echo "export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/tmp LANG=C"
    echo "cd /tmp"
    printf 'exec'
    printf ' %q' "$@"
    echo
} >"$job/job.sh"
{
    echo "$here"
    echo "$work"
    for word in "$@"; do
        case "${word#*=}" in /tmp/?*) dirname "${word#*=}" ;; esac
    done
} | sort -u >"$job/keep"
# One vCPU: qemu serves 9p on its main thread, so a second vCPU thread would only compete with
# it for the host's two cores (measured: a third faster with one).
# Without tsc=reliable the guest falls back to the HPET, whose every read is slow under emulation.
boot_options="tsc=reliable cryptomgr.notests i8042.noaux i8042.nokbd mitigations=off"
timeout --kill-after=2 "$time_limit" qemu-system-x86_64 \
    -machine pc,accel=tcg -cpu max -smp 1 -m 1024 \
    -nodefaults -no-user-config -display none -no-reboot \
    -kernel "$kernel_dir/vmlinux" -initrd "$work/initramfs.cpio" \
    -append "console=ttyS0 quiet loglevel=3 panic=-1 $boot_options" \
    -serial "file:$work/console.log" \
    -virtfs "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap" \
    -virtfs "local,path=$job,mount_tag=job,security_model=none,multidevs=remap" \
    </dev/null >"$work/qemu.log" 2>&1
qemu_status=$?

[ -f "$job/stdout" ] && cat "$job/stdout"
[ -f "$job/stderr" ] && cat "$job/stderr" >&2
if [ ! -s "$job/status" ]; then
    echo "run-vm: the guest stopped without reporting a status (qemu status $qemu_status, 124: killed after $time_limit s)" >&2
    echo "run-vm: last console lines ($work/console.log):" >&2
    tail -n 30 "$work/console.log" "$work/qemu.log" >&2
    exit 1
fi
exit "$(cat "$job/status")"
