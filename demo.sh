#!/usr/bin/env bash
# Installs what is missing, builds, and starts KAVRIN RGB Studio with three simulated docks.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target kavrin-rgb-studio kavrin-rgb-studio-window
exec build/kavrin-rgb-studio --demo "$@"
