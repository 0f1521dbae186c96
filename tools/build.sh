#!/usr/bin/env bash
# Serialised build: takes a machine-wide lock so that several people (or
# agents) working in this tree never run two compiles at once on 2 cores.
#   tools/build.sh [build-dir] [targets...]      e.g. tools/build.sh build device_tests
# Environment: CMAKE_ARGS adds configure options for a new build dir.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}; shift || true
exec 9>/tmp/trx770-build.lock
flock 9
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja ${CMAKE_ARGS:-}
fi
if [ $# -gt 0 ]; then
  cmake --build "$dir" -j2 --target "$@"
else
  cmake --build "$dir" -j2
fi
