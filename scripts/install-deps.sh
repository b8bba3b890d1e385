#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Kelvarox need.
# Does nothing when everything is present; never asks questions.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils libxtst-dev openbox imagemagick fonts-dejavu-core fonts-dejavu-extra
  clang libclang-rt-14-dev clang-format clang-tidy python3
  qt6-svg-dev desktop-file-utils appstream shared-mime-info dpkg-dev groff-base
  libsqlite3-dev libpq-dev postgresql nettle-dev
  libtomlplusplus-dev
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo -n"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
