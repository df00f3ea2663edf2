#!/usr/bin/env bash
# Drives the real program in an X server with a window manager (openbox) as a student would:
# entry, Fire, a look at the pixels, Reset, HELP and back by impatient triple clicks, and Quit
# answered Yes. Run inside xvfb-run:
#   xvfb-run -a -s "-screen 0 1024x768x24" tests/desktop/e2e/e2e.sh path/to/mokopera
set -u
PROGRAM=$1
WORK=$(mktemp -d)
trap 'kill "$APP" "$WM" 2>/dev/null; rm -rf "$WORK"' EXIT
FAILED=0
MAIN='^ モコペラも数撃ちゃ当たる$'
ENTRY='^鉄砲の発射回数の設定$'

fail() { echo "FAIL: $*"; FAILED=1; }
step() { echo "-- $*"; }
# A step the rest depends on failed: show the windows and the program's output, and stop.
fatal() {
  fail "$*"
  xdotool search --onlyvisible --name '.' 2>/dev/null | xargs -r -n 1 xdotool getwindowname
  cat "$WORK/log"
  exit 1
}

count_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }

# Waits (up to $2 seconds) for a visible window whose title matches $1, and prints its id; with
# $3 = gone, waits until there is none.
wait_window() {
  local deadline=$((SECONDS + ${2:-20}))
  while [ $SECONDS -lt $deadline ]; do
    if [ "${3:-}" = gone ]; then [ "$(count_windows "$1")" -eq 0 ] && return 0
    else xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep . && return 0; fi
    sleep 0.1
  done
  return 1
}

# Clicks at ($2, $3) inside window $1, $4 times in quick succession (once by default).
click_at() {
  xdotool mousemove --window "$1" "$2" "$3"
  sleep 0.1
  xdotool click --repeat "${4:-1}" --delay 1 1
}

# Gives window $1 the keyboard (a moment after it is mapped) and presses the key $2.
press_key() {
  sleep 0.5
  xdotool windowfocus --sync "$1" 2>/dev/null
  xdotool key "$2"
}

# Answers the shots-per-experiment box with $1.
enter_shots() {
  local box
  box=$(wait_window "$ENTRY" 30) || fatal "no input box"
  press_key "$box" ctrl+a
  [ -n "$1" ] && xdotool type "$1"
  xdotool key Return
  wait_window "$ENTRY" 10 gone || fail "input box stayed open"
}

# Sets X, Y, WIDTH and HEIGHT to the place of window $1's client area on the screen.
place_of() {
  eval "$(xwininfo -id "$1" | awk -F: '/Absolute upper-left X/ {print "X=" $2} /Absolute upper-left Y/ {print "Y=" $2}
                                         /Width/ {print "WIDTH=" $2} /Height/ {print "HEIGHT=" $2}' | tr -d ' ')"
}

# Counts the pixels of the area $2 (WxH+X+Y) of screenshot $1 that are exactly $3 (#RRGGBB), or
# with $3 = tinted, clearly red or blue (antialiased edges included).
count_pixels() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- |
    awk -F'[(),]' -v want="$3" 'NR > 1 { r = $3; b = $5
      if (want == "tinted" ? (r - b > 60 || b - r > 60) : index(toupper($0), want)) n++ } END { print n + 0 }'
}

openbox >/dev/null 2>&1 &
WM=$!
sleep 0.5
"$PROGRAM" >"$WORK/log" 2>&1 &
APP=$!

step "the main window and the input box come up with their titles"
main=$(wait_window "$MAIN" 30) || fatal "no main window"
enter_shots 5

step "fire one experiment of five shots: a coloured verdict in its black box"
for _ in 1 2 3 4 5; do click_at "$main" 184 576; sleep 0.2; done
sleep 0.5
place_of "$main"
import -window root "$WORK/shot.png"
verdict=$(count_pixels "$WORK/shot.png" "97x25+$((X + 320))+$((Y + 448))" tinted)
verdict_box=$(count_pixels "$WORK/shot.png" "97x1+$((X + 320))+$((Y + 448))" '#000000')
caption_lines=$(count_pixels "$WORK/shot.png" "117x14+$((X + 282))+$((Y + 545))" '#000000'),$(count_pixels "$WORK/shot.png" "117x13+$((X + 282))+$((Y + 561))" '#000000')
[ "$verdict" -gt 10 ] || fail "the verdict label shows no blue or red text ($verdict pixels)"
[ "$verdict_box" -eq 97 ] || fail "the verdict's box is not black all along its top ($verdict_box pixels)"
[ "${caption_lines%,*}" -gt 40 ] && [ "${caption_lines#*,}" -gt 40 ] || fail "Label14's caption is not on two lines ($caption_lines)"

step "Reset asks for the shots again"
click_at "$main" 408 12
enter_shots 6

step "a triple click on HELP opens one help window in place of the main one; one on Close one main window"
click_at "$main" 360 12 3
help=$(wait_window 'ヘルプ' 20) || fatal "no help window"
wait_window "$MAIN" 10 gone || fail "the main window stayed while the help window is open"
sleep 1
[ "$(count_windows 'ヘルプ')" -eq 1 ] || fail "$(count_windows 'ヘルプ') help windows after a triple click"
click_at "$help" 584 12 3
wait_window "$ENTRY" 30 >/dev/null || fatal "no input box"
sleep 1
[ "$(count_windows "$MAIN")" -eq 1 ] || fail "$(count_windows "$MAIN") main windows after a triple click"
[ "$(count_windows "$ENTRY")" -eq 1 ] || fail "several input boxes after a triple click"
[ "$(count_windows 'ヘルプ')" -eq 0 ] || fail "the help window stayed"
enter_shots 20
main=$(wait_window "$MAIN" 10) || fatal "no main window after the triple click"

step "Quit's question shows its whole title; Yes ends the program with status 0"
click_at "$main" 24 12
question=$(wait_window '^モコペラも数撃ちゃ当たる$' 10) || fatal "no quit question"
place_of "$question"
[ "$WIDTH" -ge 240 ] || fail "the quit question is $WIDTH px wide, too narrow for its title"
press_key "$question" Return
for _ in $(seq 100); do kill -0 "$APP" 2>/dev/null || break; sleep 0.1; done
kill "$APP" 2>/dev/null && fail "the program did not end"
wait "$APP" || fail "the program ended with status $?"

[ "$FAILED" -eq 0 ] || { cat "$WORK/log"; exit 1; }
echo "end-to-end: every step passed"
