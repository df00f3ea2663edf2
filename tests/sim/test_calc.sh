#!/usr/bin/env bash
# The pool's CSV opened in LibreOffice Calc as a teacher opens it (headless, its default import):
# every id shows as written, none taken for a number or a truth.   test_calc.sh path/to/mokopera-sim
set -u
SIM=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
ids="00123 12E34 3E005 FALSE 00012300 1E000000"
# Codes of those ids, as the students' pages make them (version 1 for five characters).
printf '%s\n' M1-20-00010-00009-00123PO M1-20-00010-00009-12E34W2 M1-20-00010-00009-3E005V1 \
  M1-20-00010-00009-FALSETK M2-20-00010-00009-00012300P4 M2-20-00010-00009-1E0000001P >"$WORK/codes.txt"
"$SIM" --pool "$WORK/codes.txt" --csv >"$WORK/pool.csv" || { echo "FAIL: mokopera-sim --pool"; exit 1; }
# Calc opens the file and writes what it shows as CSV again.
soffice -env:UserInstallation="file://$WORK/profile" --headless \
  --convert-to "csv:Text - txt - csv (StarCalc):44,34,76" --outdir "$WORK/shown" "$WORK/pool.csv" >/dev/null 2>&1
shown=$(tr -d '\r' <"$WORK/shown/pool.csv" | awk -F, 'NR > 1 && $2 != "pooled" { print $2 }' | sort | tr '\n' ' ')
expected=$(printf '%s\n' $ids | sort | tr '\n' ' ')
[ "$shown" = "$expected" ] || { echo "FAIL: Calc shows the ids as: $shown, not $expected"; exit 1; }
echo "Calc shows every id as written: $shown"
