#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the benchmarks and the package check need
# (only what is missing).
set -euo pipefail
packages=(build-essential cmake pkg-config qt6-base-dev libgl-dev mdbtools mdbtools-dev libssl-dev
          googletest libgtest-dev xvfb xauth x11-apps libxcb1-dev fonts-dejavu-core python3
          clang libclang-rt-14-dev groff-base man-db time dpkg-dev desktop-file-utils
          libsqlite3-dev zlib1g-dev sqlite3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
