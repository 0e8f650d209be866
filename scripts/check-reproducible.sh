#!/usr/bin/env bash
# Builds the Debian package twice without SOURCE_DATE_EPOCH, the installed files touched in
# between so that every staged file is newer, and compares the two packages byte for byte.
#   scripts/check-reproducible.sh [make options, e.g. JOBS=2]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
unset SOURCE_DATE_EPOCH
work=$(mktemp -d /tmp/zenka-repro.XXXXXX)
trap 'rm -rf "$work"' EXIT
build() { # build LOG [MAKE OPTIONS]: make package, its output in LOG, its end shown if it fails
  local log=$work/$1; shift
  if ! make package "$@" >"$log" 2>&1; then
    echo "check-reproducible: make package failed; the end of its log:" >&2
    tail -n 30 "$log" >&2
    exit 2
  fi
}
build first.log "$@"
deb=$(ls build/zenka_*.deb | head -n 1)
cp "$deb" "$work/first.deb"
sleep 1
touch packaging/copyright packaging/changelog resources/zenka.desktop resources/zenka.svg \
  packaging/man/*.in
build second.log "$@"
if cmp "$work/first.deb" "$deb"; then
  echo "check-reproducible: two builds gave one file: $(sha256sum "$deb" | cut -d' ' -f1)"
else
  echo "check-reproducible: the two packages differ" >&2
  exit 1
fi
