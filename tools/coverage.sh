#!/usr/bin/env bash
# Line and branch coverage of the product code by the whole test suite.
#   tools/coverage.sh            configure build-cov/ (gcc --coverage, Debug,
#                                no sanitizers, no benchmarks or fuzzers),
#                                build, run every test, print the summary
#   COVERAGE_REPORT_ONLY=1 ...   only summarise the counters of the last run
# The build goes through tools/build.sh a few test programs at a time, so the
# shared build lock is never held for long and other builds interleave; the
# test run takes the same lock. Counted: every source folder but tests/,
# bench/, fuzz/ and build folders. Branches the compiler adds for exceptions
# and branches it proves unreachable are left out of the branch figure; a
# build dir made without atomic counters may hold a few negative counts from
# racing threads, which are skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-cov
lock=/tmp/trx770-build.lock
command -v gcovr >/dev/null || { echo "gcovr is not installed (tools/install-deps.sh)" >&2; exit 1; }

if [ -z "${COVERAGE_REPORT_ONLY:-}" ]; then
  # -O0 without debug information: the counters need neither, and it is the
  # quickest compile. Atomic counter updates: the threaded code's counters
  # would otherwise race (gcov then reports negative branch counts).
  # (The flags go through the environment: CMAKE_ARGS is split at spaces.)
  export CFLAGS="--coverage -fprofile-update=atomic" CXXFLAGS="--coverage -fprofile-update=atomic" LDFLAGS=--coverage
  CMAKE_ARGS="-DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS_DEBUG=-O0 -DCMAKE_CXX_FLAGS_DEBUG=-O0 \
-DTRX770_SANITIZE=OFF -DTRX770_TSAN=OFF -DTRX770_FUZZ=OFF -DTRX770_BENCH=OFF -DTRX770_TESTS=ON" \
    tools/build.sh "$dir" trx770ctl

  # Every test program, three per turn of the lock, then whatever is left.
  mapfile -t programs < <(sed -n 's/^ *trx_add_test(\([A-Za-z0-9_]*\).*/\1/p' tests/*/CMakeLists.txt)
  for ((i = 0; i < ${#programs[@]}; i += 3)); do
    echo "coverage: building ${programs[*]:i:3}"
    tools/build.sh "$dir" "${programs[@]:i:3}"
  done
  tools/build.sh "$dir"

  find "$dir" -name '*.gcda' -delete
  export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
  # Failing tests still count towards coverage; their names are printed.
  flock "$lock" ctest --test-dir "$dir" -j2 --output-on-failure ${CTEST_ARGS:-} || echo "coverage: some tests failed (see above)"
fi

nice gcovr --root . --object-directory "$dir" \
  --exclude 'tests/' --exclude 'bench/' --exclude 'fuzz/' --exclude 'build[^/]*/' \
  --exclude-throw-branches --exclude-unreachable-branches --gcov-ignore-parse-errors \
  -j 2 --print-summary --txt "$dir/coverage.txt"
echo "coverage: per-file table in $dir/coverage.txt"
