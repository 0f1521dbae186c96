#!/usr/bin/env bash
# Installs what the project needs, builds the program and runs it. With no
# TRX770 device plugged in it runs on simulated devices.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${TRX770_SKIP_DEPS:-}" ]; then tools/install-deps.sh; fi
cmake -S . -B build -G Ninja
cmake --build build -j"$(nproc)"
exec build/bin/trx770-sim-cli "$@"
