#!/usr/bin/env bash
# Builds the tool and starts it. Without arguments it runs against the built-in
# virtual ECU (--simulate); pass --port DEVICE to use a real adapter instead.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/bootstrap.sh"
build="$here/build"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --parallel "$(nproc)" --target gasecu
if [ $# -eq 0 ]; then set -- --simulate; fi
exec "$build/gasecu" "$@"
