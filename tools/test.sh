#!/usr/bin/env bash
# Installs what the project needs, builds everything and runs every test.
#   tools/test.sh                 Debug build under AddressSanitizer and
#                                 UndefinedBehaviorSanitizer in build-asan/
#   CMAKE_ARGS=... tools/test.sh  any other configuration (e.g. the plain
#                                 optimised build: CMAKE_ARGS= BUILD_DIR=build)
# BUILD_TARGET builds one target instead of everything (e.g. threaded_tests);
# CTEST_ARGS adds ctest options (e.g. "-L threaded").
# Set TRX770_SKIP_DEPS=1 to skip the package step.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${TRX770_SKIP_DEPS:-}" ]; then tools/install-deps.sh; fi
if [ -z "${CMAKE_ARGS+set}" ]; then
  # The tests' default: every case also checked for memory errors and
  # undefined behaviour (-O0 compiles quickest; the tests are short).
  CMAKE_ARGS="-DCMAKE_BUILD_TYPE=Debug -DTRX770_SANITIZE=ON"
  dir=${BUILD_DIR:-build-asan}
else
  dir=${BUILD_DIR:-build}
fi
cmake -S . -B "$dir" -G Ninja ${CMAKE_ARGS}
cmake --build "$dir" -j"$(nproc)" --target "${BUILD_TARGET:-all}"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tools/lsan.supp:print_suppressions=0}
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" ${CTEST_ARGS:-}
