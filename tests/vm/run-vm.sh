#!/usr/bin/env bash
# Boots Debian's kernel under qemu (software emulation) with the host's root shared
# read-only over 9p, runs one command in the guest and hands back its output and status:
#   run-vm.sh --kernel-dir DIR --work DIR [--timeout SECONDS] [--env NAME=VALUE]... -- COMMAND [ARG]...
# Exit status: the command's, 77 when qemu, busybox-static or the kernel cannot be had,
# 1 when the guest failed to report (hung, panicked, or init gave up).
set -u -o pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
kernel_dir=""
work=""
time_limit=20
envs=()
while [ $# -gt 0 ]; do
    case "$1" in
    --kernel-dir) kernel_dir=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --timeout) time_limit=$2; shift 2 ;;
    --env) envs+=("$2"); shift 2 ;;
    --) shift; break ;;
    *) echo "run-vm: unknown argument $1" >&2; exit 2 ;;
    esac
done
[ -n "$kernel_dir" ] && [ -n "$work" ] && [ $# -gt 0 ] || { echo "run-vm: usage: see the head of $0" >&2; exit 2; }

skip() {
    echo "run-vm: SKIP: $*; run scripts/install-vm-deps.sh to get it" >&2
    exit 77
}
command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86_64 is not installed"
qemu-system-x86_64 -device help 2>/dev/null | grep -q virtio-9p-pci || skip "this qemu has no 9p (virtfs) support"
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
    for assignment in "${envs[@]}"; do
        printf 'export %q\n' "$assignment"
    done
    echo "cd /tmp"
    printf 'exec'
    printf ' %q' "$@"
    echo
} >"$job/job.sh"
# The guest's /tmp is empty; paths the job reaches that lie below the host's /tmp are kept.
{
    echo "$here"
    echo "$work"
    for word in "$@" "${envs[@]}"; do
        case "${word#*=}" in /tmp/?*) dirname "${word#*=}" ;; esac
    done
} | sort -u >"$job/keep"

# One vCPU: qemu serves 9p on its main thread, so a second vCPU thread would only compete with
# it for the host's two cores (measured: a third faster with one).
# Without tsc=reliable the guest falls back to the HPET, whose every read is slow under emulation.
boot_options="tsc=reliable cryptomgr.notests i8042.noaux i8042.nokbd mitigations=off"
start=$(date +%s%N)
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
elapsed_ms=$((($(date +%s%N) - start) / 1000000))

[ -f "$job/stdout" ] && cat "$job/stdout"
[ -f "$job/stderr" ] && cat "$job/stderr" >&2
if [ ! -s "$job/status" ]; then
    if [ $qemu_status -eq 124 ] || [ $qemu_status -eq 137 ]; then
        echo "run-vm: the guest did not finish within $time_limit s and was killed" >&2
    else
        echo "run-vm: the guest stopped without reporting a status (qemu status $qemu_status)" >&2
    fi
    echo "run-vm: last console lines ($work/console.log):" >&2
    tail -n 30 "$work/console.log" "$work/qemu.log" >&2
    exit 1
fi
echo "run-vm: guest finished in $((elapsed_ms / 1000)).$(printf %03d $((elapsed_ms % 1000))) s with status $(cat "$job/status")" >&2
exit "$(cat "$job/status")"
