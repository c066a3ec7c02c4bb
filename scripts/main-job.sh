#!/usr/bin/env bash
# The program's main job: the window on a simulated board, with the
# arguments given (./run.sh --board lpt). kxp40s-sim plugs a board in at a
# path that KXP40S_PORTS lists and serves the parallel-port board on a socket
# that KXP40S_LPT names, so that the window finds either at start-up; closing
# the window stops the simulators. Without a display the command-line tool
# shows a table file of the built-in defaults instead. Everything made on the
# way lives in a temporary folder, removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
scratch="$(mktemp -d "${TMPDIR:-/tmp}/kxp40s-run.XXXXXX")"
sims=()
trap 'kill "${sims[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$scratch"' EXIT

if [ -z "${DISPLAY:-}" ]; then
  echo "No display (DISPLAY is not set), so no window: the command-line tool instead." >&2
  ./build/bin/kxp40s-cli new --defaults -o "$scratch/x.tbl"
  ./build/bin/kxp40s-cli show "$scratch/x.tbl"
  exit 0
fi

# Starts kxp40s-sim with the options after PATH and waits (5 s at most)
# until it has made PATH.
start_sim() {
  local path="$1"
  shift
  ./build/bin/kxp40s-sim "$@" >/dev/null &
  sims+=($!)
  for _ in $(seq 50); do
    [ -e "$path" ] && return
    sleep 0.1
  done
}
start_sim "$scratch/board" --plug "$scratch/board"
start_sim "$scratch/lpt" --lpt "$scratch/lpt"
KXP40S_PORTS="$scratch/board${KXP40S_PORTS:+:$KXP40S_PORTS}" KXP40S_LPT="$scratch/lpt" \
  ./build/bin/kxp40s "$@"
