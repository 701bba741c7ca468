#!/usr/bin/env bash
# The program shows a history page and is closed; the fresh home folder that
# tests/support/with-display.sh made must then hold nothing the program, the
# engine or the graphics stack wrote. The desktop settings cache (dconf)
# belongs to the platform and may stay.
# Usage: leaves_no_files.sh PROGRAM SAMPLE_SERVICE
set -euo pipefail
program=$1 service=$2

"$service" >/dev/null &
service_pid=$!
trap 'kill "$service_pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do (exec 3<>/dev/tcp/127.0.0.1/8936) 2>/dev/null && break; sleep 0.05; done

"$program" &
program_pid=$!
# Only once mapped does the window have its place on the screen.
window=
for _ in $(seq 200); do
  window=$(xdotool search --onlyvisible --name '商品历史价格查询' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.05
done
[ -n "$window" ] || { echo "no window"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"

# Type a link into the link box and click the Query button.
xdotool mousemove $((X + 500)) $((Y + 28)) click 1 type 'https://shop.example/item?id=7'
xdotool mousemove $((X + 1020)) $((Y + 28)) click 1
sleep 3
# The pointer rests on the window, so with no window manager it has the keyboard.
xdotool key Escape
for _ in $(seq 200); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$program_pid" 2>/dev/null; then
  kill "$program_pid"
  echo "Esc did not end the program"
  exit 1
fi
status=0
wait "$program_pid" || status=$?
[ "$status" -eq 0 ] || { echo "exit code $status"; exit 1; }

left=$(find "$HOME" -type f ! -path "$HOME/.config/dconf/*" ! -path "$HOME/.cache/dconf/*")
if [ -n "$left" ]; then
  echo "files left in the home folder:"
  echo "$left"
  exit 1
fi
echo "home folder clean"
