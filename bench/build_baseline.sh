#!/usr/bin/env bash
# Builds the program of an earlier commit into build/bench-base (for
# startup_bench.sh -b) and prints its bin folder.
#   bench/build_baseline.sh REV
set -euo pipefail
cd "$(dirname "$0")/.."
REV=${1:?usage: bench/build_baseline.sh REV}
OUT=build/bench-base
rm -rf "$OUT/src" && mkdir -p "$OUT/src"
git archive "$REV" | tar -x -C "$OUT/src"
cmake -S "$OUT/src" -B "$OUT/build" -G Ninja -DTRX770_TESTS=OFF -DTRX770_BENCH=OFF >/dev/null
nice -n 10 ninja -C "$OUT/build" trx770 >&2
echo "$OUT/build/bin"
