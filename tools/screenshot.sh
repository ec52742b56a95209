#!/usr/bin/env bash
# Starts tessel on a virtual X display as a new user would (fresh settings, the delivered
# data files) and saves a screenshot of the main window.
#   tools/screenshot.sh [OUTPUT.png] [PAGE.pgx]
# TESSEL_BUILD names the build folder (default build/release; built when tessel is missing).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-screenshot.png}")
page=${2:+$(realpath "$2")}
build=${TESSEL_BUILD:-build/release}
if [ ! -x "$build/bin/tessel" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSEL_TESTS=OFF
    cmake --build "$build" --target tessel -j2
fi

scratch=$(mktemp -d)
xvfb_pid=
tessel_pid=
cleanup() {
    [ -n "$tessel_pid" ] && kill "$tessel_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/share"
export TESSEL_HOME="$scratch/program" XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/brindle-tessel" "$XDG_DATA_HOME" "$TESSEL_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cp -r data/. "$TESSEL_HOME/"
# No tip of the day over the window in the picture, and a window of a useful size (a bare
# X display has no window manager to maximise it).
printf '%s\n' '[Software\Brindle Software\HTML Tessel4]' 'TipDay=0' \
    '[Software\Brindle Software\HTML Tessel4\Position]' 'WindowState=Normal' 'Top=0' 'Left=0' \
    'Width=1000' 'Height=700' 'PaneWidth=280' >"$XDG_CONFIG_HOME/brindle-tessel/registry"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done

"$build/bin/tessel" ${page:+"$page"} >/dev/null 2>&1 &
tessel_pid=$!
# The splash window stays for its minimum time; then the main window comes up.
for _ in $(seq 200); do
    main=$(xwininfo -root -tree 2>/dev/null | grep -o '"[^"]*Brindle HTML Tessel 4.0[^"]*"' | head -n 1 | tr -d '"' || true)
    [ -n "$main" ] && xwininfo -name "$main" 2>/dev/null | grep -q IsViewable && break
    sleep 0.1
done
sleep 1.5
mkdir -p "$(dirname "$out")"
import -window root "$out"
echo "Screenshot of the main window: $out"
