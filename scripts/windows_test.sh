#!/usr/bin/env bash
# Builds the core, the in-process virtual ECU and the core's tests as Windows
# programs (MinGW-w64) and runs them through CTest under Wine, in a Wine prefix
# of the build's own set up as a western Windows (scripts/wine_run.sh). The
# window and the service commands need Qt for Windows, which Debian does not
# carry: they are not built here (README, "Windows").
# Usage: scripts/windows_test.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
export GASECU_SQLITE_SOURCE_DIR="${GASECU_SQLITE_SOURCE_DIR:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/gasecu/sqlite3-source}"
"$here/scripts/bootstrap.sh" --windows
build="${1:-$here/build-windows}"
shift || true
mkdir -p "$build"
build="$(cd "$build" && pwd)"
# SQLite from Debian's source package, made into its single source file once per
# build folder; CMake compiles it into the programs with the cross compiler.
"$here/scripts/sqlite_amalgamation.sh" "$GASECU_SQLITE_SOURCE_DIR" "$build/sqlite"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
  -DGASECU_WITH_QT=OFF -DGASECU_GTEST_SOURCE_DIR=/usr/src/googletest \
  -DGASECU_SQLITE_AMALGAMATION_DIR="$build/sqlite" "${launcher[@]}" "$@"
cmake --build "$build" --parallel "$(nproc)"

# One Wine session for the whole run: each test's output then ends with its own
# process (scripts/wine_session.sh says why).
scripts_dir="$here/scripts"
"$scripts_dir/wine_session.sh" "$build/wine" start
trap '"$scripts_dir/wine_session.sh" "$build/wine" stop' EXIT
# A test that fails is run once more: a test program has been seen to end at
# once with no output under a cold Wine prefix, once in many runs, cause not yet
# known (Wine's own errors are now shown in the output, so a repeat says why).
# A real fault fails both runs.
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 300 --repeat until-pass:2
