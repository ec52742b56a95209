#!/bin/sh
# Writes the screenshots of the help (data/help/pictures) and of the README (docs/screenshots)
# from the real windows, headless, through the disabled tests HelpScreenshots.DISABLED_*.
# Pass the build folder that holds the window tests (default build/dev). Run it again whenever
# a window changes, and commit the pictures.
set -eu
build="${1:-build/dev}"
cd "$(dirname "$0")/.."
cmake --build "$build" --target tessel_gui_tests
# A screen larger than the offscreen default, so the windows keep the size they ask for.
screen=$(mktemp)
trap 'rm -f "$screen"' EXIT
echo '{"screens":[{"name":"shot","x":0,"y":0,"width":1280,"height":1024,"logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]}' >"$screen"
QT_QPA_PLATFORM="offscreen:configfile=$screen" TESSEL_HELP_PICTURES="$PWD/data/help/pictures" \
    TESSEL_README_SCREENSHOTS="$PWD/docs/screenshots" \
    "$build/bin/tessel_gui_tests" --gtest_also_run_disabled_tests \
    --gtest_filter='HelpScreenshots.DISABLED_*'
ls -l data/help/pictures docs/screenshots
