#!/usr/bin/env bash
# Builds the programs in release mode and starts the desktop program; arguments are passed
# on (a page document or template to open).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSEL_TESTS=OFF
cmake --build build/release -j "$(nproc)" --target tessel tessel-cli
exec build/release/bin/tessel "$@"
