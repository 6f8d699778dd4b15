#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail
PACKAGES=(cmake ninja-build g++ pkg-config libsdl2-dev libmpg123-dev libfreetype-dev
          fonts-dejavu-core libmp3lame-dev libgtest-dev libgmock-dev libbenchmark-dev)
if [ "${1:-}" = "--test" ]; then
  PACKAGES+=(xvfb xdotool clang libclang-rt-14-dev sox)
fi
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "Missing packages. Install them with:"
  echo "  sudo apt-get install -y ${missing[*]}"
  exit 1
fi
