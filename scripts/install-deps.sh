#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; runs apt-get only when
# something is missing, so it is cheap to call before every build.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config ccache
  clang libclang-rt-dev llvm
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins
  fonts-liberation2 fonts-dejavu-core
  wbritish
  poppler-utils  # the printing tests look at written PDF pages through pdftoppm
  xvfb openbox   # the program tests run the program on a private X server with a window manager
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
