#!/usr/bin/env bash
# Installs what is missing, builds, and starts the window on a simulated board
# with the arguments given, e.g. ./run.sh --board lpt (the command-line demo
# when there is no display).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake --build build -j"$(nproc)"
exec ./scripts/main-job.sh "$@"
