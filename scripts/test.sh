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
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@"
cmake --build "$build" --parallel "$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 300
