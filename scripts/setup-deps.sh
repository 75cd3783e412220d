#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the benchmarks need, when missing.
# Sourced by scripts/run and scripts/test; safe to run again.
set -euo pipefail

MTRA_PACKAGES=(
    cmake ninja-build g++ clang-14 libclang-rt-14-dev clang-format-14
    libgtest-dev libgmock-dev libbenchmark-dev libboost-dev zlib1g-dev
    qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins
    xvfb xauth fonts-dejavu-core
)

missing=()
for package in "${MTRA_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo_cmd=(sudo)
    fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
