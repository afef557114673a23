#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running LintoraDesk need.
# Only missing packages are installed; `apt-get update` runs first when any is missing.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools
  libgtest-dev googletest
  libcurl4-openssl-dev
  fonts-ipafont-gothic
  tinyproxy openssl
  xvfb xauth
)
if [ "${LINTORA_EXTRA_PACKAGES:-}" != "" ]; then
  # shellcheck disable=SC2206
  PACKAGES+=(${LINTORA_EXTRA_PACKAGES})
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
