#!/usr/bin/env bash
# Installs what is missing, builds, writes the demo database and a Setup.ini
# naming it beside the executable, and starts the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-debian.sh"
"$root/scripts/build.sh" "$root/build" -DVARNEX_BUILD_TESTS=OFF
bin="$root/build/bin"
if [ ! -f "$bin/Setup.ini" ]; then
  printf '[DataConnection]\r\nPath=%s\r\nConnectionString=Provider=Microsoft.Jet.OLEDB.4.0\r\n[Export]\r\nIncHeader=True\r\n' \
    "$bin/demo.mdb" > "$bin/Setup.ini"
  chmod 600 "$bin/Setup.ini"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a "$bin/varnex"
fi
exec "$bin/varnex"
