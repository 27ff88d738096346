#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with; does nothing when all are there.
set -euo pipefail
packages=(build-essential cmake ninja-build qt6-base-dev qt6-charts-dev qt6-multimedia-dev
          libqt6opengl6-dev libgl-dev libglx-dev libegl-dev libgtest-dev libgmock-dev
          libbenchmark-dev python3-xlrd python3-xlwt clang libclang-rt-14-dev xvfb xauth
          qt6-translations-l10n qt6-svg-dev desktop-file-utils appstream shared-mime-info
          libxml2-utils fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
