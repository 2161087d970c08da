#!/bin/sh
# Runs a Windows program under wine64 inside the test session that
# wine-session.sh started: its private prefix and its virtual display.
# Usage: wine-run.sh STATE_DIR PROGRAM.exe [ARGS...]
state=$(cd "$1" && pwd)  # Wine wants an absolute prefix path
shift
export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=d;mshtml=d"
if [ -f "$state/display" ]; then
  DISPLAY=":$(cat "$state/display")"
  export DISPLAY
fi
# Chinese captions render only under a Chinese locale, which also gives the
# program the ANSI code page 936.
if locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
fi
exec /usr/lib/wine/wine64 "$@"
