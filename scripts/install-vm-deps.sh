#!/usr/bin/env bash
# Installs what the VM integration tests need and unpacks Debian's own kernel into a
# directory of the build tree (never over the host's /boot):
#   scripts/install-vm-deps.sh [KERNEL_DIR]      default: build/vm-kernel
# Leaves KERNEL_DIR/vmlinux (uncompressed, boots through PVH), KERNEL_DIR/modules/*.ko and
# KERNEL_DIR/modules/order (load order, dependencies first).
# Idempotent. When something cannot be had it says why and exits 0: the suite then skips.
set -u -o pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dest=${1:-$root/build/vm-kernel}
# The guest needs hidraw over uhid, and the host's root over 9p on virtio-pci.
wanted_modules=(uhid hid-generic 9p 9pnet_virtio virtio_pci)
work=""

give_up() {
    echo "install-vm-deps: $*; the VM integration tests will be skipped." >&2
    exit 0
}

package_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'
}

install_packages() {
    local missing=()
    command -v qemu-system-x86_64 >/dev/null || missing+=(qemu-system-x86)
    # The initramfs needs a static busybox; the dynamic one cannot run before the root is mounted.
    package_installed busybox-static || missing+=(busybox-static)
    local tool
    for tool in cpio jq xz zstd; do
        command -v "$tool" >/dev/null || missing+=("$([ "$tool" = xz ] && echo xz-utils || echo "$tool")")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    [ "$(id -u)" -eq 0 ] || give_up "missing ${missing[*]} and not root to install them"
    echo "install-vm-deps: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null ||
        { apt-get update -q >/dev/null && apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null; } ||
        give_up "apt-get could not install ${missing[*]}"
}

# The bzImage carries the kernel as a compressed ELF; find the first stream that unpacks to one.
extract_vmlinux() {
    local image=$1 out=$2 magic tool offset
    for entry in '\xfd7zXZ\x00:xz -dc --single-stream' '\x28\xb5\x2f\xfd:zstd -dcq' '\x1f\x8b\x08:gzip -dc'; do
        magic=${entry%%:*}
        tool=${entry#*:}
        for offset in $(LC_ALL=C grep -obUaP "$magic" "$image" | cut -d: -f1); do
            tail -c +$((offset + 1)) "$image" | $tool >"$out" 2>/dev/null
            [ "$(head -c 4 "$out" | od -An -tx1 | tr -d ' ')" = 7f454c46 ] && return 0
        done
    done
    return 1
}

module_file() {
    local tree=$1 name=$2
    find "$tree" -name "$name.ko" -o -name "${name//_/-}.ko" -o -name "${name//-/_}.ko" | head -n 1
}

# Appends NAME's dependencies, then NAME, to the order file once each.
add_module() {
    local tree=$1 name=$2 order=$3 file deps dep
    grep -qx "$name.ko" "$order" && return 0
    file=$(module_file "$tree" "$name")
    [ -n "$file" ] || return 1
    deps=$(tr '\0' '\n' <"$file" | sed -n 's/^depends=//p' | head -n 1)
    for dep in ${deps//,/ }; do
        add_module "$tree" "$dep" "$order" || return 1
    done
    cp "$file" "$(dirname "$order")/$name.ko"
    echo "$name.ko" >>"$order"
}

fetch_kernel() {
    [ -s "$dest/vmlinux" ] && [ -s "$dest/modules/order" ] && return 0
    local package
    package=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-[0-9]/ {print $2; exit}')
    if [ -z "$package" ]; then
        apt-get update -q >/dev/null 2>&1
        package=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-[0-9]/ {print $2; exit}')
    fi
    [ -n "$package" ] || give_up "apt knows no linux-image-amd64"
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    echo "install-vm-deps: fetching $package"
    (cd "$work" && apt-get download -q -o APT::Sandbox::User=root "$package" >/dev/null 2>&1) ||
        give_up "apt-get download $package failed"
    mkdir -p "$work/fs" && dpkg-deb --fsys-tarfile "$work"/*.deb | tar -x -C "$work/fs" ./boot ./lib/modules ||
        give_up "could not unpack $package"

    rm -rf "$dest" && mkdir -p "$dest/modules"
    extract_vmlinux "$(ls "$work"/fs/boot/vmlinuz-*)" "$dest/vmlinux.part" || give_up "no ELF kernel inside the vmlinuz of $package"
    : >"$dest/modules/order"
    local tree name
    tree=$(ls -d "$work"/fs/lib/modules/*)
    for name in "${wanted_modules[@]}"; do
        add_module "$tree" "$name" "$dest/modules/order" || { rm -rf "$dest"; give_up "$package has no module $name"; }
    done
    echo "$package" >"$dest/package"
    # Written last, so an interrupted run is redone next time.
    mv "$dest/vmlinux.part" "$dest/vmlinux"
    echo "install-vm-deps: kernel of $package in $dest"
}

install_packages
fetch_kernel
