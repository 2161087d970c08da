#!/usr/bin/env bash
# Builds the 64-bit program and runs it under wine64 with a private prefix
# (build/wine-run/prefix), in the zh_CN locale its Chinese texts need.
#
# With a reachable X display in $DISPLAY it runs in the foreground until the
# window is closed and ends with the program's exit code. Without one it
# starts a virtual display, waits for the window, saves a screenshot, prints
# the screenshot's path, closes the program as its close button would, and
# stops the virtual display and the Wine server it started.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-machine.sh
echo "building twinlens.exe and the sample files" >&2
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target twinlens twinlens_sample_files >/dev/null
program="$PWD/build/win64/app/twinlens.exe"

state="$PWD/build/wine-run"
mkdir -p "$state"
export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
# Otherwise Wine may offer to download Mono and Gecko, in a dialog that
# blocks a run without a screen.
export WINEDLLOVERRIDES="mscoree=d;mshtml=d"
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

prepare_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix $WINEPREFIX (once, about 10 s)" >&2
    "$wine" wineboot -i >/dev/null 2>&1
    "$wineserver" -w
  fi
}

display_reachable() {
  [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}

if display_reachable; then
  prepare_prefix
  echo "running twinlens.exe on $DISPLAY; close its window to end" >&2
  code=0
  "$wine" "$program" || code=$?
  # Wine's own helper processes of this prefix end shortly after the program.
  "$wineserver" -w
  exit "$code"
fi

# No display: a virtual one, and everything started here is stopped on exit.
xvfb_pid=""
program_pid=""
cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
    "$wine" taskkill /F /IM twinlens.exe >/dev/null 2>&1 || true
  fi
  "$wineserver" -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

rm -f "$state/display"
# Xvfb picks a free display and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
  3>"$state/display" </dev/null >"$state/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$state/display" ] && break
  sleep 0.1
done
if [ ! -s "$state/display" ]; then
  echo "Xvfb did not start; see $state/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(cat "$state/display")"
echo "no display reachable: started Xvfb on $DISPLAY" >&2

prepare_prefix
"$wine" "$program" >"$state/program.log" 2>&1 &
program_pid=$!

# Wine gives the top-level window an X window with its title.
shown=""
for _ in $(seq 1 600); do
  if xwininfo -name Twinlens 2>/dev/null | grep -q 'Map State: IsViewable'; then
    shown=yes
    break
  fi
  if ! kill -0 "$program_pid" 2>/dev/null; then break; fi
  sleep 0.1
done
if [ -z "$shown" ]; then
  echo "twinlens.exe showed no window; see $state/program.log" >&2
  exit 1
fi
sleep 1  # its first paint

shot="$state/screenshot.png"
import -window root "$shot"
echo "$shot"

# Without /F, taskkill sends the window WM_CLOSE: the program ends as if its
# close button had been pressed.
"$wine" taskkill /IM twinlens.exe >/dev/null 2>&1 || true
for _ in $(seq 1 150); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$program_pid" 2>/dev/null; then
  echo "twinlens.exe did not close" >&2
  exit 1
fi
code=0
wait "$program_pid" || code=$?
program_pid=""
echo "twinlens.exe closed with exit code $code" >&2
exit "$code"
