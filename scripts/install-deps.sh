#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Works on a bare Debian 12 (bash and apt only), as root or through sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    g++ cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    qt6-base-dev qt6-svg-dev fonts-noto-cjk
    # The window's process tests (a private X server and an Xlib tool) and the logind tests' private bus.
    xvfb xauth libx11-dev dbus-daemon
    # The Debian package (CPack finds ELF files with file, dpkg-shlibdeps reads their libraries)
    # and the validators of the installed desktop files and man page.
    dpkg-dev file desktop-file-utils appstream mandoc
    # The formatting check, and the fuzzers (clang with its libFuzzer runtime).
    clang-format clang libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    if [[ $(id -u) -eq 0 ]]; then
        as_root=()
    elif command -v sudo >/dev/null; then
        as_root=(sudo)
    else
        echo "Missing packages: ${missing[*]}" >&2
        echo "Run as root: apt-get update && apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The virtual-machine suite's own tools (qemu, a Debian kernel); optional, it skips without them.
if [[ -x scripts/install-vm-deps.sh ]]; then
    scripts/install-vm-deps.sh || echo "Virtual-machine test tools unavailable; that suite will be skipped." >&2
fi
