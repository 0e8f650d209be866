#!/usr/bin/env bash
# Installs the Debian packages the build needs; only those missing. Safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-charts-dev qt6-svg-dev libgl-dev
  libpugixml-dev zlib1g-dev xz-utils
  dpkg-dev file
  poppler-utils
  clang libclang-rt-14-dev clang-format
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

echo "install-deps: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo="sudo"
  else
    echo "install-deps: missing packages (${missing[*]}) and not root; install them first" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}"
