#!/usr/bin/env bash
# Builds Zorbit for 64-bit Windows with Debian's MinGW-w64 cross compiler, into build-win/
# (or $ZORBIT_WIN_BUILD_DIR). SDL2, libmpg123 and googletest come from Debian's source
# packages, built once, statically, into build-win/prefix and kept while their Debian versions
# stay the same.
#   scripts/build-windows.sh           the prefix, then the game and zorbit-<version>-win64.zip
#   scripts/build-windows.sh --prefix  the prefix only
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${ZORBIT_WIN_BUILD_DIR:-$here/build-win}"
prefix="$out/prefix"
toolchain="$here/cmake/mingw-w64-x86_64.cmake"
triple=x86_64-w64-mingw32
# Bumped whenever the way the prefix is built changes, so that an old prefix is rebuilt.
recipe=1
say() { echo "build-windows: $*" >&2; }

install_packages() {
  local packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 dpkg-dev
                  cmake ninja-build make pkg-config zip) missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Install them with:  apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# apt-get source needs deb-src entries: the same archives and suites as the machine's own.
ensure_deb_src() {
  apt-cache showsrc libsdl2 2>/dev/null | grep -q '^Version:' && return 0
  local list=/etc/apt/sources.list.d/zorbit-deb-src.sources
  say "adding the source packages of the machine's own suites ($list)"
  {
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -e "$f" ] || continue
      # Only the stanzas of plain "deb" archives, with deb-src in their place.
      awk 'BEGIN { RS = ""; ORS = "\n\n" }
           /(^|\n)Types:[^\n]*deb([ \t\n]|$)/ && !/(^|\n)Enabled: *no/ {
             gsub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f"
    done
    if [ -f /etc/apt/sources.list ]; then
      awk '$1 == "deb" { $1 = ""; sub(/^ /, "");
             n = split($0, w, " "); opts = ""; i = 1
             if (w[1] ~ /^\[/) { opts = w[1]; i = 2 }
             printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", w[i], w[i + 1]
             for (j = i + 2; j <= n; j++) printf " %s", w[j]
             printf "\n\n" }' /etc/apt/sources.list
    fi
  } >"$list"
  apt-get update -qq
}

# The newest version of a source package the machine's suites offer.
source_version() {
  apt-cache showsrc "$1" | awk '/^Package:/ { p = $2 } /^Version:/ && p == "'"$1"'" { print $2 }' |
    while read -r v; do echo "$v"; done | sort -u |
    { best=; while read -r v; do
        if [ -z "$best" ] || dpkg --compare-versions "$v" gt "$best"; then best=$v; fi
      done; echo "$best"; }
}

# Fetches a source package and unpacks it into $out/sources/<package>, after checking every
# file against the checksums of its .dsc (apt has checked the .dsc against the signed index).
# The upstream signature of some sources (mpg123's) is not in the archive: apt-get then stops
# on it, and the files that came are checked and unpacked without it.
fetch_source() {
  local pkg=$1 version=$2 dir="$out/sources"
  rm -rf "${dir:?}/$pkg" "$dir/download-$pkg"
  mkdir -p "$dir/download-$pkg"
  (cd "$dir/download-$pkg" && apt-get source -qq --download-only "$pkg=$version" \
     >"$dir/download-$pkg.log" 2>&1) || true
  local dsc="$dir/download-$pkg/${pkg}_${version#*:}.dsc"
  [ -f "$dsc" ] || { cat "$dir/download-$pkg.log" >&2; echo "no $dsc" >&2; exit 1; }
  (cd "$dir/download-$pkg" &&
    awk '/^Checksums-Sha256:/ { f = 1; next } /^[^ ]/ { f = 0 } f && NF == 3 { print $1 "  " $3 }' \
      "$dsc" | while read -r sum file; do
        if [ ! -e "$file" ] && [ "${file%.asc}" != "$file" ]; then continue; fi
        echo "$sum  $file"
      done | sha256sum -c --quiet -) ||
    { cat "$dir/download-$pkg.log" >&2; echo "$pkg: files missing or not matching its .dsc" >&2; exit 1; }
  dpkg-source --no-check -x "$dsc" "$dir/$pkg" >/dev/null
}

cross_cmake() {
  local src=$1 obj=$2; shift 2
  cmake -S "$src" -B "$obj" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DZORBIT_WIN_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    "$@" >"$obj.log" 2>&1 || { tail -30 "$obj.log" >&2; exit 1; }
  nice cmake --build "$obj" -j2 >>"$obj.log" 2>&1 || { tail -30 "$obj.log" >&2; exit 1; }
  cmake --install "$obj" >>"$obj.log" 2>&1
}

build_sdl2() {
  cross_cmake "$out/sources/libsdl2" "$out/obj/sdl2" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
}

# Only the decoding library: no programs, no output modules, no pkg-config of the host's.
build_mpg123() {
  local src="$out/sources/mpg123" obj="$out/obj/mpg123"
  mkdir -p "$obj"
  (cd "$obj" &&
    PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH="" \
      "$src/configure" --host=$triple --prefix="$prefix" CC=$triple-gcc-posix \
      --enable-static --disable-shared --disable-components --enable-libmpg123 \
      >"$obj.log" 2>&1 &&
    nice make -j2 src/libmpg123/libmpg123.la >>"$obj.log" 2>&1 &&
    make install-libLTLIBRARIES install-includeHEADERS install-nodist_includeHEADERS \
      install-pkgconfigDATA lib_LTLIBRARIES=src/libmpg123/libmpg123.la \
      include_HEADERS=src/libmpg123/fmt123.h nodist_include_HEADERS=src/libmpg123/mpg123.h \
      pkgconfig_DATA=libmpg123.pc >>"$obj.log" 2>&1) ||
    { tail -30 "$obj.log" >&2; exit 1; }
}

build_gtest() {
  cross_cmake "$out/sources/googletest" "$out/obj/googletest" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
}

# Each library is built once for its Debian version; the prefix keeps a stamp for each.
build_library() {
  local pkg=$1 version
  version=$(source_version "$pkg")
  [ -n "$version" ] || { echo "no source package $pkg" >&2; exit 1; }
  local stamp="$prefix/stamps/$pkg" want="recipe=$recipe $pkg=$version"
  [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ] && return 0
  say "building $pkg $version for Windows into $prefix"
  mkdir -p "$prefix/stamps" "$out/obj"
  rm -f "$stamp"
  fetch_source "$pkg" "$version"
  "$2"
  rm -rf "$out/obj" "$out/sources"
  echo "$want" >"$stamp"
}

build_prefix() {
  ensure_deb_src
  build_library libsdl2 build_sdl2
  build_library mpg123 build_mpg123
  build_library googletest build_gtest
  cat "$prefix"/stamps/* >"$prefix/versions"
}

# The data is made by the generator on this machine (the Linux build's build/game), as it
# is the same on every system.
host_data() {
  local host="${ZORBIT_BUILD_DIR:-$here/build}"
  "$here/scripts/deps.sh"
  [ -f "$host/CMakeCache.txt" ] ||
    cmake -S "$here" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  nice cmake --build "$host" -j2 --target zorbit_data >&2
  echo "$host/game"
}

build_game() {
  local data=$1 obj="$out/game"
  cmake -S "$here" -B "$obj" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DZORBIT_WIN_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DZORBIT_DATA=OFF \
    -DZORBIT_BENCH=OFF >/dev/null
  nice cmake --build "$obj" -j2 --target zorbit zorbit-options >&2
  # The programs find their data in "game" beside them, in the build folder as when installed.
  rm -rf "$obj/game"
  mkdir -p "$obj/game"
  (cd "$data" && find . -type f \( -name '*.bmp' -o -name '*.wav' -o -name '*.mp3' \) -print0 |
     xargs -0 cp --parents -t "$obj/game")
}

package() {
  local obj="$out/game" version name
  version=$(sed -n 's/^project(zorbit VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
  name="zorbit-$version-win64"
  rm -rf "${out:?}/$name" "$out/$name.zip"
  mkdir -p "$out/$name"
  cp "$obj/zorbit.exe" "$obj/zorbit-options.exe" "$out/$name/"
  cp -r "$obj/game" "$out/$name/game"
  sed 's/$/\r/' "$here/dist/windows-readme.txt" >"$out/$name/README.txt"
  (cd "$out" && zip -qr "$name.zip" "$name")
  say "made $out/$name.zip"
}

install_packages
build_prefix
[ "${1:-}" = "--prefix" ] && exit 0
data=$(host_data)
build_game "$data"
package
