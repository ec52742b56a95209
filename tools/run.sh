#!/usr/bin/env bash
# Builds the programs in release mode and renders a sample page with tessel-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSEL_TESTS=OFF
cmake --build build/release -j "$(nproc)"
out=${TMPDIR:-/tmp}/tessel-sample
mkdir -p "$out"
build/release/src/cli/tessel-cli new "$out/Sample.pgx"
build/release/src/cli/tessel-cli html "$out/Sample.pgx" --mode 2 -o "$out/Sample.html"
echo "The sample page document is $out/Sample.pgx; its HTML is in $out/Sample.html"
