#!/usr/bin/env bash
# Checks a Varnex Debian package:
#  - installed with dpkg into an empty root, it holds exactly the expected files, its desktop
#    entry passes desktop-file-validate and its icons have their sizes;
#  - "apt install ./varnex_*.deb" on a throw-away copy of this system (an overlay over /, in a
#    mount namespace of its own; needs root, unshare and overlayfs) pulls what it needs, runs
#    the desktop's triggers (.accdb becomes an Access database type) and the installed program
#    passes package-first-start.sh. Where no such copy can be had, apt only simulates the
#    install and the first start runs from the empty root.
# Usage: scripts/check-package.sh PACKAGE.deb DATABASE.mdb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deb=$(realpath "$1")
database=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "check-package: $*" >&2; failures=$((failures + 1)); }

# Installed as dpkg installs it, into a root of its own with an empty package database.
inst="$work/root"
mkdir -p "$inst/var/lib/dpkg/info" "$inst/var/lib/dpkg/updates"
touch "$inst/var/lib/dpkg/status"
force=--force-depends
[ "$(id -u)" -eq 0 ] || force="$force,not-root"
dpkg --root="$inst" "$force" --install "$deb" >/dev/null 2>"$work/dpkg.err" || { cat "$work/dpkg.err" >&2; exit 1; }
dpkg --root="$inst" --status varnex | grep -q '^Status: install ok installed$' || fail "not installed"

expected=(
  /usr/bin/varnex
  /usr/libexec/varnex/varnex-reader
  /usr/share/applications/varnex.desktop
  /usr/share/doc/varnex/copyright
  /usr/share/icons/hicolor/16x16/apps/varnex.png
  /usr/share/icons/hicolor/256x256/apps/varnex.png
  /usr/share/icons/hicolor/32x32/apps/varnex.png
  /usr/share/icons/hicolor/48x48/apps/varnex.png
  /usr/share/icons/hicolor/scalable/apps/varnex.svg
  /usr/share/mime/packages/varnex.xml
)
[ -f "$root/docs/varnex.1" ] && expected+=(/usr/share/man/man1/varnex.1.gz)
actual=$(cd "$inst" && find usr -type f | sed 's|^|/|' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[ "$actual" = "$wanted" ] || fail "files differ:"$'\n'"$(diff <(echo "$wanted") <(echo "$actual"))"
for program in /usr/bin/varnex /usr/libexec/varnex/varnex-reader; do
  [ -x "$inst$program" ] || fail "$program is not executable"
done

fields=$(dpkg-deb --field "$deb" Package Depends)
grep -q '^Package: varnex$' <<<"$fields" || fail "package name: $fields"
for dependency in libqt6widgets6 libqt6network6 libmdb3 libsqlite3-0 zlib1g; do
  grep -q "$dependency" <<<"$fields" || fail "no dependency on $dependency: $fields"
done

desktop="$inst/usr/share/applications/varnex.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate failed"
for line in 'Name=Varnex' 'Exec=varnex %f' 'Icon=varnex' 'Categories=Office;Database;' \
            'MimeType=application/x-msaccess;application/vnd.ms-access;'; do
  grep -qxF "$line" "$desktop" || fail "desktop entry lacks $line"
done

python3 - "$inst/usr/share/icons/hicolor" <<'PY' || fail "icons"
import struct, sys, xml.etree.ElementTree as ET
theme = sys.argv[1]
for size in (16, 32, 48, 256):
    with open(f"{theme}/{size}x{size}/apps/varnex.png", "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", f"{size}: not a PNG"
    assert struct.unpack(">II", head[16:24]) == (size, size), f"{size}: {struct.unpack('>II', head[16:24])}"
svg = ET.parse(f"{theme}/scalable/apps/varnex.svg").getroot()
assert svg.tag == "{http://www.w3.org/2000/svg}svg" and svg.get("viewBox") == "0 0 32 32"
PY

# The throw-away copy of this system: the package, the database and the first-start check are
# put in its writable layer; everything else it sees is this system, unchanged.
overlay="$work/overlay"
mkdir -p "$overlay/upper/var/tmp/varnex-check" "$overlay/work" "$overlay/merged"
cp "$deb" "$database" "$root/scripts/package-first-start.sh" "$overlay/upper/var/tmp/varnex-check/"
cat >"$work/in-copy.sh" <<'EOF'
set -eu
overlay=$1 deb=$2 database=$3
mount -t overlay overlay -o "lowerdir=/,upperdir=$overlay/upper,workdir=$overlay/work" "$overlay/merged"
mount --rbind /dev "$overlay/merged/dev"
mount -t proc proc "$overlay/merged/proc"
exec chroot "$overlay/merged" /bin/bash -c '
  set -eu
  cd /var/tmp/varnex-check
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./$0" >apt.log 2>&1 || { cat apt.log >&2; exit 3; }
  dpkg --status varnex | grep -q "^Status: install ok installed$" || { echo "apt: varnex not installed" >&2; exit 1; }
  grep -q ":\*\.accdb$" /usr/share/mime/globs2 || { echo "apt: .accdb has no MIME type" >&2; exit 1; }
  ./package-first-start.sh /usr/bin/varnex /usr/libexec/varnex/varnex-reader "/var/tmp/varnex-check/$1" /var/tmp/varnex-check
' "$deb" "$database"
EOF
if [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
  rc=0
  unshare -m --propagation private sh "$work/in-copy.sh" "$overlay" "$(basename "$deb")" "$(basename "$database")" || rc=$?
  case $rc in
    0) echo "check-package: apt install ./$(basename "$deb") in a copy of this system: ok" ;;
    3) fail "apt install failed" ;;
    *) fail "the package installed with apt failed its checks" ;;
  esac
else
  # No copy to install into: apt says what it would do, and the program runs from the empty root.
  apt-get install --simulate --no-install-recommends "$deb" >"$work/apt.out" 2>&1 \
    || fail "apt cannot install it: $(cat "$work/apt.out")"
  "$root/scripts/package-first-start.sh" "$inst/usr/bin/varnex" "$inst/usr/libexec/varnex/varnex-reader" \
    "$database" "$work" || fail "the program in the empty root failed its first start"
fi

if [ "$failures" -ne 0 ]; then
  echo "check-package: $failures check(s) failed" >&2
  exit 1
fi
echo "check-package: $(basename "$deb") ok"
