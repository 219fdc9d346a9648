#!/usr/bin/env bash
# Takes a screenshot of the running window, as a user would see it, on a
# virtual display with a window manager, into docs/main-window.png (or the
# file named as the first argument).
set -euo pipefail
cd "$(dirname "$0")/.."
output=${1:-docs/main-window.png}

scripts/install-deps.sh fonts-wine xvfb xdotool imagemagick openbox
cmake --preset default >/dev/null
cmake --build --preset default --target orvane-translator

display=:$((100 + RANDOM % 800))
Xvfb "$display" -screen 0 1024x640x24 -nolisten tcp &
pids=($!)
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1
build/default/src/app/orvane-translator &
pids+=($!)
xdotool search --sync --onlyvisible --name 'Orvane translator' >/dev/null
sleep 1  # let the maximised window settle and paint
mkdir -p "$(dirname "$output")"
import -window root "$output"
echo "Saved $output"
