#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
set -euo pipefail
packages=(g++ cmake ninja-build ccache make pkg-config zlib1g-dev libgtest-dev libgmock-dev
          libbenchmark-dev qt6-base-dev libqt6opengl6-dev libx11-dev libgl-dev libglx-mesa0 libgl1-mesa-dri xvfb xauth
          desktop-file-utils shared-mime-info clang-14 libclang-rt-14-dev time)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Installing packages needs root: run this as root (su -c '$0'), or install sudo first." >&2
    exit 1
  fi
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
