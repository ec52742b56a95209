#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them; extra arguments go to the benchmark
# (for example --benchmark_filter=/1000$).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSEL_TESTS=OFF -DTESSEL_BENCH=ON
cmake --build build/bench -j "$(nproc)" --target bench_document bench_recovery
build/bench/bin/bench_document "$@"
build/bench/bin/bench_recovery "$@"
