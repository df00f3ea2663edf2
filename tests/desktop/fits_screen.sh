#!/usr/bin/env bash
# The window on every screen: the real program in an X server with a window manager (openbox), on
# a laptop's screens of 1920 × 1080 and 1366 × 768 at 100, 150 and 200 % (QT_SCALE_FACTOR). The
# main window, and the help window after it, lie wholly on the screen, frame and title bar
# included; where the layout fits, the window is the layout's own size. The program is started
# with Qt's own options, which it ignores as it ignores every argument.
#   fits_screen.sh path/to/mokopera
set -u
PROGRAM=$1
FAILED=0
fail() { echo "FAIL: $*"; FAILED=1; }

# Inside one X server: prints "x y width height" of the frame of the first window titled $1, then
# its client area's width and height, once it is mapped.
measure() {
  cat <<'EOF'
set -u
frame_of() {
  local window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "no window $1"; return 1; }
  sleep 0.5
  xwininfo -id "$window" -frame | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /^  Width/ {w=$2} /^  Height/ {h=$2} END {print x, y, w, h}'
  xwininfo -id "$window" | awk '/^  Width/ {w=$2} /^  Height/ {h=$2} END {print w, h}'
}
openbox >/dev/null 2>&1 &
sleep 0.5
# Qt's own options too are no business of the program's: they change nothing.
"$1" -platform offscreen -stylesheet /dev/null -reverse >/dev/null 2>&1 &
frame_of '^鉄砲の発射回数の設定$' >/dev/null || exit 1
xdotool key Return                          # N = 20
frame_of '^ モコペラも数撃ちゃ当たる$' || exit 1
main=$(xdotool search --onlyvisible --name '^ モコペラも数撃ちゃ当たる$' | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" $((WIDTH * 360 / 433)) $((HEIGHT * 12 / 620)) click 1   # HELP
frame_of 'ヘルプ' || exit 1
kill %1 %2 2>/dev/null
EOF
}

for screen in 1920x1080 1366x768; do
  for factor in 1 1.5 2; do
    read -r screen_width screen_height <<<"${screen/x/ }"
    result=$(QT_SCALE_FACTOR=$factor xvfb-run -a -s "-screen 0 ${screen}x24" bash -c "$(measure)" measure "$PROGRAM" 2>&1)
    read -r -a numbers <<<"$(echo "$result" | tr '\n' ' ')"
    if [ "${#numbers[@]}" -ne 12 ]; then
      fail "$screen at $factor: $result"
      continue
    fi
    for window in 0 1; do
      set -- "${numbers[@]:$((window * 6)):6}"
      name=$([ "$window" -eq 0 ] && echo "the main window" || echo "the help window")
      [ "$1" -ge 0 ] && [ "$2" -ge 0 ] && [ $(($1 + $3)) -le "$screen_width" ] && [ $(($2 + $4)) -le "$screen_height" ] ||
        fail "$screen at ${factor}: $name's frame ($*) is not wholly on the screen"
    done
    # At 100 % on the larger screen the main window is its layout's size: 433 × 620.
    if [ "$screen$factor" = 1920x10801 ] && [ "${numbers[4]} ${numbers[5]}" != "433 620" ]; then
      fail "the main window is ${numbers[4]} × ${numbers[5]} where it fits as it is"
    fi
    echo "$screen at ${factor}: main window frame ${numbers[*]:0:4}, client ${numbers[*]:4:2}; help frame ${numbers[*]:6:4}"
  done
done
[ "$FAILED" -eq 0 ] && echo "the windows fit every screen"
exit "$FAILED"
