#!/usr/bin/env bash
# Builds the Debian package from a configured build folder, checks it with Debian's own
# checker, unpacks it into a scratch root and checks it as a player's system would meet it:
# the menu entry, the metadata and the manual pages validate, and the unpacked program,
# started without --data from a tree it cannot write, plays a scoring round that leaves the
# hall of fame in the player's folder.
# Usage: scripts/check_package.sh [build-folder]     (default: build)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$here/build}" && pwd)"
scratch="$(mktemp -d)"
trap 'chmod -R u+w "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT

(cd "$build" && rm -f zorbit_*.deb && cpack -G DEB >/dev/null)
deb="$(ls "$build"/zorbit_*.deb)"
echo "package: $(basename "$deb"), depends: $(dpkg-deb -f "$deb" Depends)"
# Errors and warnings fail; the informational tags that remain are shown:
#   arch-dep-package-has-big-usr-share   the data is 10 MB beside a small program; a
#                                        separate data package is not worth it yet
#   hardening-no-bindnow, hardening-no-fortify-functions, binary-has-unneeded-section
#                                        the build's own flags, not dpkg-buildflags'
checked=0
report="$(lintian --display-info --fail-on error,warning "$deb" 2>&1)" || checked=$?
grep -v "running with root privileges" <<<"$report" || true
[ "$checked" = 0 ] || { echo "lintian: errors or warnings in $(basename "$deb")"; exit 1; }

root="$scratch/root"
dpkg-deb -x "$deb" "$root"

desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null
for page in "$root"/usr/share/man/man6/*.6.gz; do
  warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || { echo "$page: $warnings"; exit 1; }
done
# The manual names the data folder where the package put it.
zcat "$root/usr/share/man/man6/zorbit.6.gz" | grep -q '^\.I /usr/share/zorbit$' ||
  { echo "zorbit(6) does not name /usr/share/zorbit"; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
  test -s "$root/usr/share/icons/hicolor/${size}x${size}/apps/zorbit.png"
done
version="$("$root/usr/games/zorbit" --version)"
[ "$version" = "zorbit $(dpkg-deb -f "$deb" Version)" ] || { echo "version: $version"; exit 1; }

# The player's folder holds only a short round's setting; the data comes from the package.
home="$scratch/home"
mkdir -p "$home/data/zorbit/game"
printf '[default]\ngametime=3\n' > "$home/data/zorbit/game/setup.ini"
printf '[setup]\nplayerid=0\n[Player1]\nname=Tester\n' > "$home/data/zorbit/options.ini"
script="$home/round.txt"
{
  echo "wait 300"
  for column in $(seq 0 17); do echo "click $((154 + column * 32 + 16)) 27"; done
  echo "wait 8000"
} > "$script"
before="$(cd "$root" && find . -printf '%p %s %m\n' | sort | md5sum)"
chmod -R a-w "$root"
(cd "$root" && HOME="$home" XDG_DATA_HOME="$home/data" ./usr/games/zorbit --headless --seed 7 \
   --script "$script" --max-ms 20000)
chmod -R u+w "$root"
after="$(cd "$root" && find . -printf '%p %s %m\n' | sort | md5sum)"
[ "$before" = "$after" ] || { echo "the program wrote into its installed tree"; exit 1; }
scores="$home/data/zorbit/game/hiscore.dat"
size="$(stat -c %s "$scores" 2>/dev/null || echo none)"
[ "$size" = 5204 ] || { echo "hiscore.dat: $size bytes, expected 5204"; exit 1; }
echo "package checks passed: $(basename "$deb") validated; a round saved $size bytes of scores"
