#!/usr/bin/env bash
# Makes SQLite's single-file form (sqlite3.c and sqlite3.h, "the amalgamation")
# from Debian's source package, with Debian's patches applied, for the Windows
# cross build to compile into the program (CMake: GASECU_SQLITE_AMALGAMATION_DIR).
# Made once per machine and source version: kept in
# ${XDG_CACHE_HOME:-~/.cache}/gasecu/sqlite3-amalgamation-<version> and copied to
# OUT (the core's and the window's Windows builds share it); OUT/sqlite3.c stays
# and a later run returns at once.
# Needs a host C compiler and tclsh (Debian's tcl), both from bootstrap.sh --windows.
# Usage: scripts/sqlite_amalgamation.sh SOURCE_DIR OUT
#   SOURCE_DIR: what scripts/fetch_debian_source.sh sqlite3 fetched (sqlite3_*.dsc and its tarballs)
set -euo pipefail
source_dir="$1"
out="$2"
dsc="$(compgen -G "$source_dir/sqlite3_*.dsc" | sort | tail -n 1)"
stamp="$(basename "$dsc")"
if [ -f "$out/sqlite3.c" ] && [ -f "$out/sqlite3.h" ] && [ "$(cat "$out/source" 2>/dev/null)" = "$stamp" ]; then
  exit 0
fi

cache="${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/gasecu/sqlite3-amalgamation-${stamp%.dsc}"
if [ -f "$cache/sqlite3.c" ] && [ -f "$cache/sqlite3.h" ] && [ "$(cat "$cache/source" 2>/dev/null)" = "$stamp" ]; then
  rm -rf "$out" "$out.partial"
  cp -r "$cache" "$out.partial"
  mv "$out.partial" "$out"
  exit 0
fi

work="$out.work"
rm -rf "$work" "$out"
mkdir -p "$work/host"
# Unpacks the upstream tree and applies Debian's patches (the security fixes among them).
dpkg-source --no-copy -x "$dsc" "$work/src" >"$work/unpack.log" 2>&1 || {
  cat "$work/unpack.log" >&2
  exit 1
}
# The generators (lemon, mkkeywordhash, the tcl scripts) run on this machine.
(
  cd "$work/host"
  "$work/src/configure" --disable-tcl --disable-readline --disable-load-extension >configure.log 2>&1 &&
    make -j"$(nproc)" sqlite3.c >make.log 2>&1
) || {
  tail -n 40 "$work/host/configure.log" "$work/host/make.log" >&2 2>/dev/null || true
  exit 1
}
mkdir -p "$out.partial"
cp "$work/host/sqlite3.c" "$work/host/sqlite3.h" "$out.partial/"
echo "$stamp" >"$out.partial/source"
mv "$out.partial" "$out"
rm -rf "$work"
# Into the cache whole or not at all: a copy cut short is never taken for one.
mkdir -p "$(dirname "$cache")"
rm -rf "$cache.partial"
cp -r "$out" "$cache.partial" && rm -rf "$cache" && mv "$cache.partial" "$cache"
