#!/usr/bin/env bash
# Builds the Debian package from a build for installation (settings in the user's folders,
# the reader in /usr/libexec/varnex) and checks it with check-package.sh.
# Usage: scripts/package.sh [BUILD_FOLDER]   (default: build-package; the .deb lands there)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build-package"}
"$root/scripts/setup-debian.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DVARNEX_INSTALLED_LAYOUT=ON -DVARNEX_BUILD_TESTS=OFF -DVARNEX_FUZZ=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/varnex_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/varnex_*.deb)
"$root/scripts/check-package.sh" "$deb" "$build/bin/demo.mdb"
echo "$deb"
