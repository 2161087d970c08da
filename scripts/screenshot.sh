#!/usr/bin/env bash
# Remakes docs/screenshot.png: the real program under Wine, in the zh_CN
# locale, with the two sample files opened through its dialogs and compared.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-machine.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target twinlens screenshot_tour twinlens_sample_files >/dev/null

state="$PWD/build/win64/wine-screenshot"
sh cmake/wine/wine-session.sh start "$state" >/dev/null
trap 'sh cmake/wine/wine-session.sh stop "$state" >/dev/null' EXIT

windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
marker="$state/shot-taken"
rm -f "$marker"
export TWINLENS_EXE="$PWD/build/win64/app/twinlens.exe"
cmake/wine/wine-run.sh "$state" build/win64/tests/wine/tools/screenshot_tour.exe \
  "$(windows_path "$PWD/build/win64/samples/twinlens-sample-1.exe")" \
  "$(windows_path "$PWD/build/win64/samples/twinlens-sample-2.exe")" \
  "$(windows_path "$marker")" >"$state/tour.log" 2>&1 </dev/null &
tour=$!

for _ in $(seq 1 600); do
  grep -qs '^ready' "$state/tour.log" && break
  kill -0 $tour 2>/dev/null || break
  sleep 0.1
done
read -r _ left top width height < <(grep '^ready' "$state/tour.log" | tr -d '\r') || {
  cat "$state/tour.log" >&2
  exit 1
}
# The X display shows what Wine painted with a delay, seconds on a busy
# machine: take pictures until one shows the compared rows (red text) and the
# next one agrees with it.
shot() {
  DISPLAY=":$(cat "$state/display")" import -window root \
    -crop "${width}x${height}+${left}+${top}" +repage "$1"
}
has_red() {
  [ "$(convert "$1" -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' \
    -format '%[fx:maxima]' info:)" = 1 ]
}
shot "$state/previous.png"
for _ in $(seq 1 120); do
  sleep 0.5
  shot docs/screenshot.png
  if has_red docs/screenshot.png &&
    [ "$(compare -metric AE docs/screenshot.png "$state/previous.png" null: 2>&1)" = 0 ]; then
    break
  fi
  cp docs/screenshot.png "$state/previous.png"
done
touch "$marker"
wait $tour
echo "docs/screenshot.png"
