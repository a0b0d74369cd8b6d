#!/usr/bin/env bash
# Fetches one of Debian's source packages (the .dsc, the upstream tarballs and
# Debian's patches, unpacked only if asked) into DIR, once: the Windows cross
# build compiles SQLite and Qt from them, as Debian carries neither built for
# MinGW-w64 (scripts/sqlite_amalgamation.sh, scripts/build_qt_mingw.sh).
# The archive is the one this machine's apt already uses: its "deb" entries are
# read again as "deb-src" in a private list, so the machine's own package lists,
# caches and sources stay untouched. apt checks every file against the archive's
# signed index, as for any package.
# Usage: scripts/fetch_debian_source.sh PACKAGE DIR
set -euo pipefail
package="$1"
dest="$2"
if compgen -G "$dest/${package}_*.dsc" >/dev/null; then
  exit 0
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
rm -rf "$dest.partial"
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$dest.partial"

# deb822 files: "Types: deb" (or "deb deb-src") becomes "Types: deb-src";
# one-line files: "deb ..." becomes "deb-src ...".
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  sed -E 's/^Types:.*/Types: deb-src/' "$f" >>"$work/source.sources"
  printf '\n' >>"$work/source.sources"
done
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  sed -nE 's/^deb[[:space:]]+/deb-src /p' "$f" >>"$work/source.list"
done
[ -f "$work/source.sources" ] || [ -f "$work/source.list" ] || {
  echo "fetch_debian_source: apt has no package source on this machine" >&2
  exit 1
}
touch "$work/source.sources" "$work/source.list"
apt_private=(
  -o Dir::Etc::SourceList="$work/source.list"
  -o Dir::Etc::SourceParts="$work/parts"
  -o Dir::State::Lists="$work/lists"
  -o Dir::Cache="$work/cache"
  -o APT::Sandbox::User=root
)
mkdir -p "$work/parts"
cp "$work/source.sources" "$work/parts/source.sources"

SUDO=""
[ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null && SUDO="sudo"
$SUDO apt-get "${apt_private[@]}" -q update
(cd "$dest.partial" && $SUDO apt-get "${apt_private[@]}" -q source --download-only "$package")
[ -z "$SUDO" ] || $SUDO chown -R "$(id -u):$(id -g)" "$dest.partial"
rm -rf "$dest"
mv "$dest.partial" "$dest"
