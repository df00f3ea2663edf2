#!/usr/bin/env bash
# mokopera-sim as a teacher uses it: its command line, its CSV and SVG, what it does to the files
# it writes, output that cannot be written, and Ctrl-C.   test_sim.sh path/to/mokopera-sim
set -u
SIM=$1
WORK=$(mktemp -d)
trap 'chmod -R u+w "$WORK"; rm -rf "$WORK"' EXIT
FAILED=0
fail() { echo "FAIL: $*"; FAILED=1; }

# run EXPECTED_STATUS ARGUMENTS...: runs the simulator, its output in $WORK/out and $WORK/err.
run() {
  local expected=$1
  shift
  "$SIM" "$@" >"$WORK/out" 2>"$WORK/err"
  local status=$?
  [ "$status" -eq "$expected" ] || fail "mokopera-sim $* ended with $status, not $expected: $(cat "$WORK/err")"
  if [ "$expected" -eq 2 ]; then
    [ ! -s "$WORK/out" ] && grep -q '^mokopera-sim: ' "$WORK/err" && [ "$(wc -l <"$WORK/err")" -ge 2 ] ||
      fail "mokopera-sim $* gave no message in both languages, or wrote output"
  fi
}

# Arguments: good ones, and bad ones refused before anything is written. An option is never taken
# for an option's value.
run 0 -n 5..50 -e 10
run 0 --help
grep -q 使い方 "$WORK/out" && grep -q Usage "$WORK/out" || fail "the help is not in both languages"
for bad in "-n 4" "-n 51" "-n 50..5" "-n 5..60" "-n 7.5" "-e 0" "-e 1,0000" "-e 10,00" "-e 999999999999999999999999" "--seed -1" "-n" \
           "--fast" "--plot --csv" "-e --seed 5"; do
  # shellcheck disable=SC2086
  run 2 $bad
done
run 2 --plot ""

# A teacher's ways of writing a range and a count, full width, with digit groups and no-break
# spaces among them, give the same table as 5..7 and 1000.
run 0 -n 5..7 -e 1000 --seed 1 --csv && cp "$WORK/out" "$WORK/plain"
for written in "5〜7|1,000" "5～7|1 000" "5‥7|1"$'\xc2\xa0'"000" " 5 .. 7 | 1000 " "５．．７|１，０００"; do
  run 0 -n "${written%|*}" -e "${written#*|}" --seed 1 --csv
  cmp -s "$WORK/out" "$WORK/plain" || fail "-n ${written%|*} -e ${written#*|} is not 5..7 and 1000"
done

# The seed is printed and repeats a run exactly; the CSV is RFC 4180 with the window's own texts.
run 0 -e 300 --seed 777
grep -q "seed: 777" "$WORK/out" || fail "the seed is not printed"
cp "$WORK/out" "$WORK/first"
run 0 -e 300 --seed 777
cmp -s "$WORK/out" "$WORK/first" || fail "the same seed gave another table"
run 0 -n 5..9 -e 200 --seed 1 --csv
[ "$(grep -c $'\r$' "$WORK/out")" -eq 6 ] && [ "$(wc -l <"$WORK/out")" -eq 6 ] || fail "the CSV is not 6 CRLF lines"
head -n 1 "$WORK/out" | grep -q '^shots_per_experiment,experiments,successes,experimental_probability,theoretical_probability,difference_in_standard_errors' ||
  fail "the CSV header is wrong"
grep -q '^5,200,[0-9]*,0\.[0-9]\{7\},0\.4095100,' "$WORK/out" || fail "the CSV row for N = 5 is wrong"

# Plots: the convergence of one N, every N of a range (46 dots, the legend's and the three marks
# of 何回撃てば), well formed.
for plot in "20 <polyline 1" "5..50 <circle 50"; do
  set -- $plot
  rm -f "$WORK"/*.svg
  run 0 -n "$1" -e 2000 --plot "$WORK/plot.svg"
  [ "$(grep -o "$2" "$WORK/plot.svg" | wc -l)" -eq "$3" ] || fail "the plot for $1 has no $3 $2"
  [ "$(tail -n 1 "$WORK/plot.svg")" = "</svg>" ] && [ "$(grep -o '<' "$WORK/plot.svg" | wc -l)" -eq "$(grep -o '>' "$WORK/plot.svg" | wc -l)" ] ||
    fail "the plot for $1 is not well formed"
done
[ "$(grep -o '超える最小の N = [0-9]*' "$WORK/plot.svg" | grep -o '[0-9]*$' | tr '\n' ' ')" = "7 22 44 " ] ||
  fail "the range plot does not mark N = 7, 22 and 44"

# The class's codes pooled, from a file or standard input: the CSV, the refused code named on
# standard error, the funnel plot; --pool with a batch's options or an unreadable file refused.
printf '田中 m1-20-00030-00027-aaaaak7。\n佐藤 M1-22-00010-00009-BBBBB95 M1-20-00010-00011-CCCCCA8\n藤田 Ｍ２－２２－０００１８－０００１６－ＬＮ４ＸＰ０ＤＫ１９\n' >"$WORK/codes.txt"
run 0 --pool "$WORK/codes.txt" --csv --plot "$WORK/funnel.svg"
[ "$(cut -d, -f1-4 "$WORK/out" | tr -d '\r' | tr '\n' ' ')" = "shots_per_experiment,series,experiments,successes 20,\"=\"\"AAAAA\"\"\",30,27 20,pooled,30,27 22,\"=\"\"BBBBB\"\"\",10,9 22,\"=\"\"LN4XP0DK\"\"\",18,16 22,pooled,28,25 " ] ||
  fail "the pooled CSV is $(cat "$WORK/out")"
cp "$WORK/out" "$WORK/utf8.csv"
grep -q 'M1-20-00010-00011-CCCCCA8: more successes than experiments' "$WORK/err" || fail "the forged code is not named"
grep -q '<circle' "$WORK/funnel.svg" && [ "$(tail -n 1 "$WORK/funnel.svg")" = "</svg>" ] || fail "no funnel plot"
"$SIM" --pool - --csv <"$WORK/codes.txt" 2>/dev/null | cmp -s - "$WORK/out" || fail "--pool - is not the file's pool"
# A code with a prediction: its columns in the CSV, the class's predictions in words after the
# table, and their figure below the funnel plot.
printf 'M3-10-00020-00012-030-SR000000HF\n' >"$WORK/predicted.txt"
run 0 --pool "$WORK/predicted.txt" --csv --plot "$WORK/predicted.svg"
[ "$(sed -n 2p "$WORK/out" | tr -d '\r' | cut -d, -f8-)" = "30,percent" ] || fail "the prediction's CSV is $(cat "$WORK/out")"
grep -q '予想と結果　N = 10' "$WORK/predicted.svg" || fail "no predictions' figure"
run 0 --pool "$WORK/predicted.txt"
grep -q 'N = 10：予想 1 件' "$WORK/out" || fail "no predictions in words: $(cat "$WORK/out")"
run 2 --pool "$WORK/codes.txt" -n 20
run 2 --pool "$WORK"
# The same text as a Japanese PC writes it: UTF-8 with its mark, UTF-16 either way round with its
# mark (Excel's 「Unicode テキスト」) or without, Shift_JIS as Windows writes it (CP932): the same pool.
for form in UTF-8-BOM UTF-16LE-BOM UTF-16BE-BOM UTF-16LE CP932; do
  case $form in
    UTF-8-BOM) { printf '\xef\xbb\xbf'; cat "$WORK/codes.txt"; } >"$WORK/form.txt" ;;
    *-BOM) { printf '\xef\xbb\xbf'; cat "$WORK/codes.txt"; } | iconv -f UTF-8 -t "${form%-BOM}" >"$WORK/form.txt" ;;
    *) iconv -f UTF-8 -t "$form" "$WORK/codes.txt" >"$WORK/form.txt" ;;
  esac
  run 0 --pool "$WORK/form.txt" --csv
  cmp -s "$WORK/out" "$WORK/utf8.csv" || fail "a $form file pools otherwise: $(cat "$WORK/out")"
done

# Every code README, the developer's guide and the manual pages show is one that is read (the
# manual's hyphens as groff prints them).
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
cat "$ROOT/README.md" "$ROOT/docs/design.md" "$ROOT"/man/*.in "$ROOT"/man/ja/*.in | sed 's/\\-/-/g' |
  "$SIM" --pool - >/dev/null 2>"$WORK/err"
[ $? -eq 0 ] && ! grep -q "not read" "$WORK/err" || fail "a code shown in README or the manual is not read: $(cat "$WORK/err")"
# No code at all, or none that can be read: said, with a status of its own.
printf 'よろしくお願いします\n' >"$WORK/none.txt"
printf 'M1-20-00010-00011-CCCCCA8\n' >"$WORK/refused.txt"
for input in none refused; do
  "$SIM" --pool "$WORK/$input.txt" >"$WORK/out" 2>"$WORK/err"
  [ $? -eq 3 ] && [ ! -s "$WORK/out" ] && grep -q "no code" "$WORK/err" || fail "--pool with $input: $(cat "$WORK/err")"
done

# What may stand at the plot's name: only a regular file is replaced, keeping its mode; a new
# file gets the mode the umask allows; a refusal leaves everything as it was; no temporary file
# is ever left behind.   target  status  permissions-after
check_target() {
  local name=$1 status=$2 after=$3 target=$WORK/t/plot.svg before
  rm -rf "$WORK/t" && mkdir "$WORK/t"
  case $name in
    file) echo x >"$target" && chmod 604 "$target" ;;
    fifo) mkfifo -m 600 "$target" ;;
    link) echo x >"$WORK/t/elsewhere" && ln -s "$WORK/t/elsewhere" "$target" ;;
    folder) mkdir -m 700 "$target" ;;
    missing-folder) target="$WORK/t/no/plot.svg" ;;
    long-name) target="$WORK/t/$(printf 'a%.0s' $(seq 251)).svg" ;;
  esac
  before=$(ls -A "$WORK/t")
  run "$status" -e 10 --plot "$target"
  [ "$(stat -c %A "$target" 2>/dev/null || echo missing)" = "$after" ] || fail "$name: $(stat -c %A "$target" 2>&1), not $after"
  [ "$status" -eq 0 ] && [ -z "$before" ] && before=$(basename "$target")
  [ "$(ls -A "$WORK/t")" = "$before" ] || fail "$name: the folder holds $(ls -A "$WORK/t")"
}
umask 027
check_target none 0 -rw-r-----
check_target file 0 -rw----r--
check_target fifo 2 prw-------
check_target link 2 lrwxrwxrwx
check_target folder 2 drwx------
check_target missing-folder 2 missing
check_target long-name 0 -rw-r-----

# A standard output that cannot be written is a failure with a message.
"$SIM" -e 10 --csv >/dev/full 2>"$WORK/err"
[ $? -eq 2 ] && grep -q "cannot write to the standard output" "$WORK/err" || fail "a full disk reported success"
"$SIM" -e 10 --csv >&- 2>"$WORK/err"
[ $? -eq 2 ] && grep -q "cannot write to the standard output" "$WORK/err" || fail "a closed output reported success"

# Ctrl-C while it works: no temporary file left, the message on a line of its own, status 130;
# no progress line in a file.
rm -rf "$WORK/t" && mkdir "$WORK/t"
timeout --preserve-status -s INT 1.5 "$SIM" -n 5..50 -e 10000000 --plot "$WORK/t/plot.svg" >/dev/null 2>"$WORK/err"
status=$?
[ "$status" -eq 130 ] || fail "Ctrl-C ended with $status"
[ -z "$(ls -A "$WORK/t")" ] || fail "Ctrl-C left $(ls -A "$WORK/t")"
[ "$(cat "$WORK/err")" = "中断しました interrupted" ] || fail "Ctrl-C said: $(cat "$WORK/err")"
# On a terminal, a long run shows how far it has got, and ends the line.
script -qec "$SIM -n 5..50 -e 2000000 >/dev/null" /dev/null >"$WORK/err" 2>&1
grep -q "progress: 100%" "$WORK/err" || fail "no progress line on a terminal: $(cat "$WORK/err")"

[ "$FAILED" -eq 0 ] && echo "mokopera-sim: every check passed"
exit "$FAILED"
