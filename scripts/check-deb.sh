#!/usr/bin/env bash
# Builds the Debian package from a configured, built build directory, installs it with apt as a
# user would, runs the installed command line, and removes it again:
#   scripts/check-deb.sh [BUILD_DIR]      (default: build)
# Installing changes the machine, so this runs only as root (CI's throwaway machine).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

cmake --build "$build" --target package
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
package=$(realpath "$build/kavrin-rgb-studio_${version}_$(dpkg --print-architecture).deb")
echo "Built $package"

# The machine that builds has Qt already, so installing would not notice a dependency the package
# forgot; the window module is dlopened, and shlibdeps must still have seen what it links.
depends=$(dpkg-deb --field "$package" Depends)
for needed in libqt6widgets6 libqt6svg6 fonts-noto-cjk; do
    grep -q "\b$needed\b" <<<"$depends" || {
        echo "The package does not depend on $needed: $depends" >&2
        exit 1
    }
done

if [[ $(id -u) -ne 0 ]]; then
    echo "SKIP: installing $package needs root; run as root on a machine you can throw away."
    exit 0
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$package"
# The checks of a scratch install (--help, --list, the window module, the validators), on what the
# package put under /usr.
for check in commands desktop metainfo manpage; do
    tests/packaging/check-installed-tree.sh "$check" "$build" /usr "$version"
done
DEBIAN_FRONTEND=noninteractive apt-get remove -y kavrin-rgb-studio
[ ! -e /usr/bin/kavrin-rgb-studio ] || {
    echo "Removing the package left /usr/bin/kavrin-rgb-studio" >&2
    exit 1
}
echo "The package installs, runs and removes cleanly."
