#!/usr/bin/env bash
# Installs what is missing, checks the layout of the sources, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test, then runs each fuzz target
# for a bounded time (FUZZ_SECONDS each, default 60).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/check-format.sh
cmake --preset asan
cmake --build --preset asan -j2
ctest --preset asan -j2 --timeout 600

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
seconds=${FUZZ_SECONDS:-60}
shopt -s nullglob
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  echo "Fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -print_final_stats=0 "$corpus" "${seeds[@]}" 2>&1 | tail -n 3
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "$name found a fault"; exit 1; }
done
echo "All tests and fuzz runs passed."
