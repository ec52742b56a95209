#!/bin/sh
# Writes the delivered templates (data/Templates) from their definitions in
# tests/dialogs/core/DeliveredTemplates.cpp, through the program's own model, stream writer
# and page generator. Pass the build folder that holds the core tests (default build/dev).
set -eu
build="${1:-build/dev}"
cd "$(dirname "$0")/.."
mkdir -p data/Templates
cmake --build "$build" --target tessel_core_tests
"$build/bin/tessel_core_tests" --gtest_also_run_disabled_tests \
    --gtest_filter='DeliveredTemplates.DISABLED_Write'
