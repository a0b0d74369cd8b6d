#!/usr/bin/env bash
# clang-tidy over every source in src/ and sim/ with the checks in .clang-tidy;
# any finding fails the run. A finding that is no fault is silenced where it
# stands, with the reason: // NOLINT(check-name): why.
# The compile database comes from its own build folder, configured for clang
# and without precompiled headers: clang reads neither GCC's precompiled headers
# nor its GCC-only warning options. Nothing is compiled there.
# Usage: scripts/clang_tidy.sh [BUILD_DIR]   (default build-tidy; runs 2 files at a time,
#        GASECU_TIDY_JOBS=N for more; GASECU_TIDY_FILES=REGEX for some files only)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build-tidy}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug \
  -DGASECU_PCH=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DGASECU_BUILD_TESTS=OFF -DGASECU_BUILD_BENCH=OFF >/dev/null
# Only the project's own sources: the database also lists the build's generated files.
# clang-tidy's own chatter (counts of warnings from outside the project) is left out.
if run-clang-tidy-14 -clang-tidy-binary clang-tidy-14 -p "$build" -j "${GASECU_TIDY_JOBS:-2}" -quiet \
     -extra-arg=-fno-color-diagnostics "${GASECU_TIDY_FILES:-^$here/(src|sim)/}" 2>&1 \
   | { grep --line-buffered -v '^[0-9]* warnings\? generated\.$\|^Suppressed [0-9]* warnings\|^Use -header-filter\|^Enabled checks:\|^clang-apply-replacements\|^clang-tidy-14 \|^$' || true; } \
   | sed -u 's/\x1b\[[0-9;]*m//g' | tee "$build/clang-tidy.log" >&2; then
  echo "clang_tidy: no findings"
else
  echo "clang_tidy: findings above (also in $build/clang-tidy.log)" >&2
  exit 1
fi
