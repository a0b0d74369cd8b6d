#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (qtbase: Core, Gui, Widgets and the windows,
# offscreen and minimal platform plugins) with MinGW-w64 from Debian's qt6-base
# source package, once per machine, and prints the folder it is installed in.
# Debian carries no Qt built for Windows, but the same source it builds its own
# Qt from cross-builds unchanged against the machine's native Qt as the host
# (moc, rcc and uic come from qt6-base-dev-tools).
#
# The result is kept in a cache keyed by the Qt version and everything that
# decides what gets built (the configure options below and the compilers file):
#   ${XDG_CACHE_HOME:-~/.cache}/gasecu/qt6-mingw-<version>-<hash>
# A later run finds it and returns at once. The build happens in a ".work"
# folder beside it and the installed tree is renamed into place only when whole,
# so a build that was stopped never looks complete; a new run continues the
# stopped build where it ended.
# Usage: scripts/build_qt_mingw.sh   (prints the Qt folder on its last line)
#   GASECU_QT_SOURCE_DIR: where Debian's source package is fetched
#   GASECU_QT_JOBS: parallel compile jobs (default: the number of cores)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cache="${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/gasecu"
source_dir="${GASECU_QT_SOURCE_DIR:-$cache/qt6-base-source}"
jobs="${GASECU_QT_JOBS:-$(nproc)}"
compilers="$here/cmake/mingw-w64-x86_64-compilers.cmake"

# What Qt for the window needs, and nothing that would need a library Debian
# has no Windows build of (every third-party library is Qt's bundled copy).
options=(
  -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  # Debian's source teaches pkg-config to look for the build machine's .pc
  # files; none of them is for Windows.
  -DFEATURE_pkg_config=OFF
  # "FEATURE_opengl=OFF" alone keeps dynamic OpenGL, which the windows plugin
  # then fails to compile without.
  -DINPUT_opengl=no
  -DFEATURE_vulkan=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF
  -DFEATURE_testlib=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF
  # The Debian source drops the tablet library this needs.
  -DFEATURE_tabletevent=OFF
  # MinGW-w64's import libraries lack what these need at link time.
  -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
  -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF -DFEATURE_jpeg=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
  -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
  -DFEATURE_system_textmarkdownreader=OFF
  # The offscreen plugin (headless runs and the tests) draws text with it.
  -DFEATURE_freetype=ON
)

"$here/scripts/fetch_debian_source.sh" qt6-base "$source_dir" >&2
dsc="$(compgen -G "$source_dir/qt6-base_*.dsc" | head -n 1)"
version="$(basename "$dsc" .dsc)"
version="${version#qt6-base_}"
key="$( { printf '%s\n' "$version" "${options[@]}"; cat "$compilers"; } | sha256sum | cut -c1-12)"
prefix="$cache/qt6-mingw-${version%%+*}-$key"
if [ -f "$prefix/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
  echo "$prefix"
  exit 0
fi

mkdir -p "$cache"
# One build per machine at a time; a second caller waits and then finds it built.
exec 9>"$prefix.lock"
flock 9
if [ -f "$prefix/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
  echo "$prefix"
  exit 0
fi

work="$prefix.work"
mkdir -p "$work"
if [ ! -d "$work/src" ]; then
  rm -rf "$work/src.partial"
  dpkg-source --no-check -x "$dsc" "$work/src.partial" >&2
  mv "$work/src.partial" "$work/src"
fi
# Nothing from the build machine's pkg-config reaches the Windows build.
export PKG_CONFIG_LIBDIR=/nonexistent
cmake -S "$work/src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$compilers" -DCMAKE_INSTALL_PREFIX="$prefix" \
  "${options[@]}" >&2
cmake --build "$work/build" --parallel "$jobs" >&2
rm -rf "$work/install"
# Installed stripped into the work folder first, then renamed: the prefix exists
# only once whole. Qt's CMake files locate themselves, so the move is safe.
DESTDIR="$work/install" cmake --install "$work/build" --strip >&2
rm -rf "$prefix"
mv "$work/install$prefix" "$prefix"
rm -rf "$work"
echo "$prefix"
