#!/usr/bin/env bash
# Draws the program's viewer and chromium side by side on a few pages of the corpus that the
# preview is tested on, into docs/preview-vs-chromium.png (or OUTPUT.png).
#   tools/preview-contact-sheet.sh [OUTPUT.png]
# TESSEL_BUILD names a configured build folder with the tests (default build/test). Needs
# chromium and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/preview-vs-chromium.png}")
build=$(realpath "${TESSEL_BUILD:-build/test}")
cmake --build "$build" --target tessel-cli tessel_preview_corpus
TESSEL_CLI="$build/bin/tessel-cli" TESSEL_PREVIEW_CORPUS="$build/bin/tessel_preview_corpus" \
    TESSEL_SOURCE_DATA="$PWD/data" /usr/bin/python3 tests/cli/preview_chromium_test.py \
    --contact-sheet "$out"
