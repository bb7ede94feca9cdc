#!/usr/bin/env bash
# Builds the benchmarks in the native preset (optimised) and runs them; the
# last lines are the ratios against the baselines measured in the same run.
# Extra arguments go to the benchmark, e.g. --benchmark_repetitions=5.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native -j 2 --target scenario_bench >/dev/null
exec build/native/bench/scenario_bench --benchmark_min_time=0.2 --benchmark_repetitions=7 \
    --benchmark_enable_random_interleaving=true --benchmark_display_aggregates_only=true "$@"
