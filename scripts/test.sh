#!/usr/bin/env bash
# Builds the tool and its tests, then runs every test case through CTest.
# Usage: scripts/test.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/bootstrap.sh"
build="${1:-$here/build}"
shift || true
# A compiler cache, when the machine has one, makes rebuilds of other checkouts cheap.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# A fresh clone builds everything from nothing, so the build is made cheap:
# sources compiled in batches (CMake's unity build; CI builds each file alone in
# its sanitizer build, which catches a file that leans on a neighbour's includes)
# and line tables only (-g1: a backtrace still names file and line; the full
# debug information took about a third of the compile time).
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_UNITY_BUILD=ON "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "${launcher[@]}" "$@"
cmake --build "$build" --parallel "$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 300
