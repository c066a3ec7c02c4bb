#!/usr/bin/env bash
# The program's main job: the window on a simulated board. kxp40s-sim plugs a
# board in at a path that KXP40S_PORTS lists, so that the window finds it at
# start-up; closing the window stops the simulator. Without a display the
# command-line tool shows a table file of the built-in defaults instead.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
  echo "No display (DISPLAY is not set), so no window: the command-line tool instead." >&2
  ./build/bin/kxp40s-cli new --defaults -o x.tbl
  ./build/bin/kxp40s-cli show x.tbl
  exit 0
fi
plug="$(mktemp -u "${TMPDIR:-/tmp}/kxp40s-board.XXXXXX")"
./build/bin/kxp40s-sim --plug "$plug" >/dev/null &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -e "$plug" ] && break
  sleep 0.1
done
KXP40S_PORTS="$plug${KXP40S_PORTS:+:$KXP40S_PORTS}" ./build/bin/kxp40s "$@"
