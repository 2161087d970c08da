#!/bin/sh
# Starts or stops what the Windows tests run in: a virtual X display and a
# private Wine prefix with a persistent wineserver. CTest runs "start" as the
# setup of the Wine tests and "stop" as their cleanup, so nothing outlives a run.
# Usage: wine-session.sh start|stop STATE_DIR
set -u
action=$1
state=$2
export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=d;mshtml=d"

stop() {
  if [ -d "$WINEPREFIX" ]; then
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  fi
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid" "$state/display"
  fi
}

case "$action" in
  start)
    stop
    mkdir -p "$state"
    # Xvfb picks a free display and writes its number to fd 3.
    rm -f "$state/display"
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
      3>"$state/display" </dev/null >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    tries=0
    while [ ! -s "$state/display" ]; do
      tries=$((tries + 1))
      if [ $tries -gt 100 ]; then
        echo "Xvfb did not start; see $state/xvfb.log" >&2
        exit 1
      fi
      sleep 0.1
    done
    DISPLAY=":$(cat "$state/display")"
    export DISPLAY
    # Whatever Wine starts here lives on after this script (wineserver and
    # its services), so none of it may hold this script's output open: CTest
    # waits for that output to close.
    (
      # A persistent wineserver saves each test the server's start-up.
      /usr/lib/wine/wineserver -p
      # Creates the prefix the first time, and every time starts the prefix's
      # services here, with this log as their output, before any test can
      # start them with its own.
      /usr/lib/wine/wine64 wineboot
      # There is no window manager on the virtual display; unmanaged windows
      # keep Wine from waiting for one each time a window is hidden.
      /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    ) </dev/null >"$state/wine-session.log" 2>&1
    echo "Wine session ready on display $DISPLAY"
    ;;
  stop)
    stop
    echo "Wine session stopped"
    ;;
  *)
    echo "usage: $0 start|stop STATE_DIR" >&2
    exit 2
    ;;
esac
