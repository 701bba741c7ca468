#!/usr/bin/env bash
# Runs a command against a private Xvfb (and, with --wm, a light window
# manager), each started here and stopped when the command ends. The home
# folder is a fresh one, so nothing the command writes outlives it.
set -euo pipefail

wm=no
if [ "${1:-}" = --wm ]; then wm=yes; shift; fi

work=$(mktemp -d)
cleanup() {
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null || true
  [ -n "${x_pid:-}" ] && kill "$x_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# -displayfd lets the server pick a free display number, so tests can run side by side.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
x_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"

mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
export XDG_CACHE_HOME="$HOME/.cache" XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
export NO_AT_BRIDGE=1 GTK_THEME=Adwaita

if [ "$wm" = yes ]; then
  openbox --sm-disable >"$work/wm.log" 2>&1 &
  wm_pid=$!
  # wait until the window manager owns the screen
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
fi

set +e
dbus-run-session -- "$@"
status=$?
exit $status
