#!/usr/bin/env bash
# Fails on a C++ file not formatted with .clang-format, then builds everything with
# AddressSanitizer and UndefinedBehaviorSanitizer, runs every test through ctest, and runs the
# fuzzers (stream reader, FTP replies, the viewer's mapping pass, INI, palette and bookmark
# files) for a bounded time; last, builds the Debian package and tries it installed.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

tools/check-format.sh

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSEL_SANITIZE=ON -DTESSEL_BENCH=ON
cmake --build build/test -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build/test --output-on-failure -j "$jobs"

# The fuzzers need clang's libFuzzer; they build only the core and the harnesses.
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DTESSEL_FUZZ=ON
cmake --build build/fuzz -j "$jobs"
ctest --test-dir build/fuzz --output-on-failure

tools/test-install.sh
