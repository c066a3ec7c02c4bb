#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program's main job.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake --build build -j"$(nproc)"
exec ./scripts/main-job.sh
