#!/usr/bin/env bash
# The first start of an installed Varnex on a fresh home: "varnex DATABASE" writes Setup.ini in
# ~/.config/varnex (owner-only) and opens the database through the installed reader, logging
# nothing; with the reader gone the same start logs, in ~/.local/state/varnex/Log, where it
# looked for it. The program is ended after a few seconds (it shows its window offscreen).
# Usage: package-first-start.sh PROGRAM READER DATABASE WORK_FOLDER   (exit status 1: a check failed)
set -uo pipefail
program=$1 reader=$2 database=$3 work=$4
failures=0
fail() { echo "first start: $*" >&2; failures=$((failures + 1)); }

home="$work/home"
mkdir -p "$home" "$work/runtime"
chmod 700 "$work/runtime"
start() {
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
    timeout 6 "$program" "$database" >/dev/null 2>&1
}

start
setup="$home/.config/varnex/Setup.ini"
if [ ! -f "$setup" ]; then
  fail "no $setup"
else
  grep -qF "Path=$database" "$setup" || fail "Setup.ini does not name the database: $(cat "$setup")"
  [ "$(stat -c %a "$setup")" = 600 ] || fail "Setup.ini has mode $(stat -c %a "$setup")"
fi
logs="$home/.local/state/varnex/Log"
[ -d "$logs" ] || fail "no log folder $logs"
[ -z "$(ls -A "$logs" 2>/dev/null)" ] || fail "the start logged a failure: $(cat "$logs"/*)"

mv "$reader" "$work/reader.moved"
start
mv "$work/reader.moved" "$reader"
grep -qF "'$reader' could not be started" "$logs"/*.log 2>/dev/null \
  || fail "the reader was not looked for at $reader: $(cat "$logs"/*.log 2>/dev/null)"
[ "$failures" -eq 0 ]
