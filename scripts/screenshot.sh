#!/usr/bin/env bash
# Takes a picture of the program's window on a private X server (no window
# manager, so no frame): starts the program, optionally types a link into
# the link box and clicks 查询 (Query), waits for the page, and saves a PNG of
# the window only.
#
# Usage: scripts/screenshot.sh [OUT.png] [--query LINK]
#   OUT.png   where the picture goes; default docs/screenshot.png
#   PROGRAM   the program to run; default build/run/src/app/pricehistory
#   SERVICE   with --query, the price-history service started when nothing
#             listens on 127.0.0.1:8936 yet; default
#             build/run/src/sample_service/pricehistory-sample-service
#   SETTLE    seconds to wait before the picture; default 5 with --query, 1 without
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ "${PH_SCREENSHOT_STAGE:-}" != on-display ]; then
  out=docs/screenshot.png link='' query=no
  while [ $# -gt 0 ]; do
    case $1 in
      --query) [ $# -ge 2 ] || { echo "screenshot: --query needs a link" >&2; exit 2; }
               query=yes link=$2; shift 2 ;;
      -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
      *) out=$1; shift ;;
    esac
  done
  program=${PROGRAM:-build/run/src/app/pricehistory}
  service=${SERVICE:-build/run/src/sample_service/pricehistory-sample-service}
  # Paths are taken from where the script was called.
  case $out in /*) ;; *) out=$PWD/$out ;; esac
  case $program in /*) ;; *) program=$PWD/$program ;; esac
  case $service in /*) ;; *) service=$PWD/$service ;; esac
  [ -x "$program" ] || { echo "screenshot: no program at $program (build it, or set PROGRAM)" >&2; exit 1; }
  mkdir -p "$(dirname "$out")"
  export PH_SCREENSHOT_STAGE=on-display OUT=$out PROGRAM=$program SERVICE=$service QUERY=$query LINK=$link
  exec "$root/tests/support/with-display.sh" "$0"
fi

# --- from here on, inside the private X server -------------------------------

listening() { (exec 3<>/dev/tcp/127.0.0.1/8936) 2>/dev/null; }

pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; wait 2>/dev/null || true; }
trap cleanup EXIT

if [ "$QUERY" = yes ] && ! listening; then
  if [ -x "$SERVICE" ]; then
    "$SERVICE" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do listening && break; sleep 0.05; done
  else
    echo "screenshot: nothing listens on 127.0.0.1:8936 and there is no service at $SERVICE" >&2
  fi
fi

# A sanitizer build of the program checks for leaks as the tests do, with
# the toolkit's and the engine's own suppressed.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/support/lsan.supp:print_suppressions=0:fast_unwind_on_malloc=0}
"$PROGRAM" >/dev/null 2>&1 &
program_pid=$!
pids+=("$program_pid")

window=
for _ in $(seq 600); do
  window=$(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  kill -0 "$program_pid" 2>/dev/null || { echo "screenshot: the program ended before showing its window" >&2; exit 1; }
  sleep 0.1
done
[ -n "$window" ] || { echo "screenshot: no window after 60 s" >&2; exit 1; }
sleep 0.5  # first drawing

if [ "$QUERY" = yes ]; then
  # Without a window manager the window's position is its client origin.
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + 597)) $((Y + 28)) click 1        # link box: client 233..961, 5..52
  xdotool type --delay 5 -- "$LINK"
  xdotool mousemove $((X + 1023)) $((Y + 28)) click 1       # 查询: client 975..1071, 5..52
  xdotool mousemove $((X + 1090)) $((Y + 660))               # keep the pointer off the picture's controls
fi
sleep "${SETTLE:-$([ "$QUERY" = yes ] && echo 5 || echo 1)}"

import -window "$window" "$OUT"
echo "screenshot: $OUT ($(identify -format '%w x %h' "$OUT"))"
