#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests, the benchmarks and the
# Debian package (dpkg-shlibdeps from dpkg-dev, file; help2man for its manual pages) need.
# Safe to run any number of times: apt-get skips what is already installed.
# Usage: scripts/bootstrap.sh [--fuzz] [--windows] [--checks]
#   --checks: also lintian, hardening-check (devscripts), appstreamcli and
#   clang-tidy for the checks .ci/run makes of the package and the sources.
#   --windows: also the MinGW-w64 cross compiler, GoogleTest's sources and Wine
#   for the Windows build of the core and its test run (scripts/windows_test.sh),
#   tcl for making SQLite's single source file, and Debian's SQLite source package
#   (scripts/fetch_debian_source.sh sqlite3) into GASECU_SQLITE_SOURCE_DIR
#   (default ~/.cache/gasecu/sqlite3-source); NSIS for the Windows installer
#   (scripts/windows_window_test.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
windows=0

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev libsqlite3-dev sqlite3
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core locales
  dpkg-dev file
  qt6-translations-l10n
  # The workshop server's sync: the client library, and the server the sync
  # tests and benchmark start for themselves.
  libpq-dev postgresql-15
  help2man
)
for option in "$@"; do
  case "$option" in
    --checks)
      # .ci/run's package and source checks (lintian, hardening-check, appstreamcli, clang-tidy).
      packages+=(lintian devscripts appstream clang-14 clang-tidy-14) ;;
    --windows)
      windows=1
      packages+=(g++-mingw-w64-x86-64-posix gcc make tcl xz-utils googletest wine wine64)
      packages+=(nsis) ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The tests also run under a Turkish region, whose decimal mark is a comma.
if ! locale -a 2>/dev/null | grep -qi '^tr_TR\.utf-\?8$'; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO localedef -i tr_TR -c -f UTF-8 -A /usr/share/locale/locale.alias tr_TR.UTF-8
fi

if [ "$windows" = 1 ]; then
  "$here/fetch_debian_source.sh" sqlite3 "${GASECU_SQLITE_SOURCE_DIR:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/gasecu/sqlite3-source}"
fi
