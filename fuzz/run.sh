#!/usr/bin/env bash
# The bounded, seeded fuzzing run of the test command: FUZZER over a copy of
# the corpus in CORPUS_DIR (libFuzzer adds what it finds to the corpus it is
# given), 500,000 runs.
#   fuzz/run.sh FUZZER CORPUS_DIR
set -euo pipefail
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$2"/* "$corpus"/
"$1" -seed=1 -runs=500000 -max_len=256 "$corpus" 2>&1 | tail -n 2
