#!/usr/bin/env bash
# The program's main job until the window exists: a table file from the
# built-in defaults, shown setting by setting.
set -euo pipefail
cd "$(dirname "$0")/.."
./build/bin/kxp40s-cli new --defaults -o x.tbl
./build/bin/kxp40s-cli show x.tbl
