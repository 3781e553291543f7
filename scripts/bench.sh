#!/bin/bash
# Builds the benchmarks (Release) and runs them; with an argument, only the benchmark of that name.
#   scripts/bench.sh [bench_recordset|...]
# Google Benchmark repeats and interleaves the cases so that a busy machine skews both sides alike.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOLVENDRA_BUILD_BENCH=ON \
    -DOLVENDRA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
export FIREBIRD_LOCK="$build/firebird-lock"
mkdir -p "$FIREBIRD_LOCK"
for program in "$build"/bench/bench_*; do
    name=$(basename "$program")
    [ $# -eq 0 ] || [ "$1" = "$name" ] || continue
    echo "== $name"
    "$program" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
        --benchmark_report_aggregates_only=true
done
