#!/usr/bin/env bash
# Installs the Debian 12 packages Quillon needs to build, run and test (skips what is there).
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev qt6-declarative-dev qt6-webengine-dev qt6-tools-dev qt6-svg-dev libqt6svg6
          libx11-dev libgl-dev xvfb xauth x11-utils xdotool trayer openbox poppler-utils imagemagick python3 procps
          desktop-file-utils appstream dpkg-dev file man-db)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
