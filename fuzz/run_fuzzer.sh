#!/usr/bin/env bash
# run_fuzzer.sh FUZZER CORPUS RUNS: a bounded, seeded run from a copy of the corpus.
set -euo pipefail
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$1" -runs="$3" -seed=1 -max_len=4096 -print_final_stats=1 "$scratch" "$2" 2>&1 | tail -n 25
