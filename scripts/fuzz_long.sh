#!/usr/bin/env bash
# Runs every fuzz target for a long stretch in a clang build with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, then prints per target the
# inputs run, the inputs per second and the crashes saved.
#
# Usage: scripts/fuzz_long.sh [SECONDS_PER_TARGET] [BUILD_DIR]
#   FUZZ_TARGETS="curve_text receive_reply"   only these targets (default: all)
#   FUZZ_RUNS=10000000                         stop a target after this many inputs
#
# The targets run side by side at low priority (nice), so the machine stays usable.
# Inputs that found new paths collect in BUILD_DIR/fuzz-long/TARGET/corpus; a crash
# is saved as BUILD_DIR/fuzz-long/TARGET/crash-*. Replay one with the target itself
# (BUILD_DIR/tests/fuzz/fuzz_TARGET FILE) or with the ordinary build's replay program;
# once fixed, copy it into tests/fuzz/corpus/TARGET so it stays fixed.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-3600}"
build="${2:-$here/build-fuzz}"
targets="${FUZZ_TARGETS:-curve_text receive_reply command_line ecu_frame_reader}"
runs="${FUZZ_RUNS:-0}"

"$here/scripts/bootstrap.sh" --fuzz
CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGASECU_FUZZ=ON -DGASECU_BUILD_TESTS=OFF -DGASECU_BUILD_BENCH=OFF >/dev/null
nice cmake --build "$build" --target fuzz_targets

out="$build/fuzz-long"
for t in $targets; do
  mkdir -p "$out/$t/corpus"
  # -runs=0 would run nothing: without FUZZ_RUNS only the time limit stops a target.
  limit=()
  [ "$runs" -gt 0 ] && limit=(-runs="$runs")
  nice -n 15 "$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" "${limit[@]}" -max_len=512 \
    -print_final_stats=1 -artifact_prefix="$out/$t/" "$out/$t/corpus" "$here/tests/fuzz/corpus/$t" \
    >"$out/$t/log" 2>&1 &
done
wait || true

printf '%-18s %12s %8s %8s %s\n' target inputs exec/s crashes seconds
for t in $targets; do
  log="$out/$t/log"
  executed=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo '?')
  speed=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo '?')
  crashes=$(find "$out/$t" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  printf '%-18s %12s %8s %8s %s\n' "$t" "$executed" "$speed" "$crashes" "$seconds"
done
