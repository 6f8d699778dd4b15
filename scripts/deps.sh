#!/usr/bin/env bash
# Installs the Debian packages the build (and with --test, the tests and CI) need, when any
# is missing. As root it installs them; otherwise it says what to install.
set -euo pipefail
PACKAGES=(cmake ninja-build g++ pkg-config libsdl2-dev libmpg123-dev libfreetype-dev
          fonts-dejavu-core libmp3lame-dev libpng-dev libgtest-dev libgmock-dev libbenchmark-dev)
if [ "${1:-}" = "--test" ]; then
  PACKAGES+=(xvfb xauth xdotool x11-apps x11-utils clang libclang-rt-14-dev sox)
  # Software OpenGL, for the window test that presents with vsync.
  PACKAGES+=(libgl1-mesa-dri)
  # Packaging and its checks: cpack's dependency list, the menu entry, metadata and man pages,
  # and Debian's own package checker.
  PACKAGES+=(dpkg-dev file desktop-file-utils appstream man-db lintian)
fi
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
elif command -v sudo >/dev/null 2>&1; then
  sudo apt-get update -qq
  sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "Missing packages. Install them with:"
  echo "  apt-get install -y ${missing[*]}"
  exit 1
fi
