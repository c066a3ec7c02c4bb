#!/usr/bin/env bash
# The Windows programs end to end under Wine against the Linux simulator,
# through the Wine COM port COM5.
#
#   scripts/windows/e2e.sh PROGRAMS LINUX_BUILD WORK
#
# PROGRAMS holds kxp40s-cli.exe and kxp40s.exe (the build's bin/ or the
# unpacked zip), LINUX_BUILD the Linux build tree with kxp40s-sim and
# kxp40s-cli, WORK a folder for the run (emptied first). Wine's prefix
# (WINEPREFIX) and an X display (DISPLAY) come from build.sh.
#
# The command line: each command runs twice, kxp40s-cli.exe through COM5
# against one simulator and the Linux kxp40s-cli against another, and must
# give the same exit status, messages and files. The window: a read (F3,
# then Ctrl+S) and a write (F4) by keyboard, checked in the files that the
# window and the simulator leave; WORK/window.png is the window as it found
# the board.
set -euo pipefail
programs="$(realpath "$1")"
linux="$(realpath "$2")"
work="$(realpath -m "$3")"

linux_cli="$linux/bin/kxp40s-cli"
sim="$linux/bin/kxp40s-sim"
com5="$work/com5" # where each simulator plugs in for Wine's COM5
failures=0
sims=()

fail() {
  printf 'FAILED: %s\n' "$*" >&2
  failures=$((failures + 1))
}

stop_sims() {
  local pid
  for pid in "${sims[@]}"; do
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  sims=()
}
trap stop_sims EXIT

# A simulator whose board is plugged in at $1 and whose pager's memory goes
# to $2 when it ends; more options of kxp40s-sim may follow.
start_sim() {
  local plug="$1" save="$2"
  shift 2
  rm -f "$plug"
  "$sim" --plug "$plug" --save "$save" "$@" >"$save.out" 2>&1 &
  sims+=($!)
  local i
  for i in $(seq 100); do
    [ -e "$plug" ] && return
    sleep 0.1
  done
  fail "kxp40s-sim did not plug in at $plug"
  exit 1
}

# COM5 names whatever is plugged in at $com5. Wine lists its ports in
# SERIALCOMM when its server starts, so the server starts again.
map_com5() {
  wine reg add 'HKLM\Software\Wine\Ports' /v COM5 /d "$com5" /f >/dev/null
  wineserver -k || true
  wineserver -w
  wineserver -p
  wine cmd /c exit
}

rm -rf "$work"
mkdir -p "$work"
win_data="$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')")/kxp40s"
map_com5

check_command_line() {
  local lin="$work/linux" win="$work/windows" results="$work/results"
  mkdir -p "$lin" "$win" "$results"
  rm -rf "$win_data/backups"
  start_sim "$lin/board" "$lin/pager.tbl"
  start_sim "$com5" "$win/pager.tbl"

  # Messages and statuses of one command on both systems; port names, the
  # ports without a board (Wine adds the machine's own) and Windows' line
  # ends aside, they must be the same.
  seen() {
    sed -e 's/\r$//' -e "s|$lin/board|PORT|g" -e 's|COM5|PORT|g' "$1" |
      grep -Ev '^(COM[0-9]+|/dev/ttyS[0-9]+)	-$' || true
  }
  same() {
    local name="$1" stream status
    shift
    (cd "$lin" && KXP40S_SYS_TTY= KXP40S_PORTS="$lin/board" XDG_DATA_HOME="$lin/data" \
      "$linux_cli" "$@" >"$results/$name.linux.out" 2>"$results/$name.linux.err" </dev/null
     echo $? >"$results/$name.linux.status") || true
    (cd "$win" && wine "$programs/kxp40s-cli.exe" "$@" \
      >"$results/$name.windows.out" 2>"$results/$name.windows.err" </dev/null
     echo $? >"$results/$name.windows.status") || true
    for stream in status out err; do
      if ! diff -u <(seen "$results/$name.linux.$stream") <(seen "$results/$name.windows.$stream") \
        >"$results/$name.$stream.diff"; then
        fail "$name ($*): the $stream differs"
        cat "$results/$name.$stream.diff" >&2
      fi
    done
    status="$(cat "$results/$name.windows.status")"
    [ "$status" = "${expect_status:-0}" ] || fail "$name ($*): exit status $status"
  }

  echo "== the command line through COM5"
  same ports ports
  same new new -o a.tbl
  same set set a.tbl capcode1=1234000 prompt3=HELLO "baud=2400 bps"
  same write write a.tbl --yes --no-pause
  same verify verify a.tbl --no-pause
  same read read -o r.tbl --no-pause
  same series write a.tbl --yes --no-pause --series 3 --increase 1 --save-progress --next-after 0
  same show show a.tbl
  same utf8 new -o 'Grüße-Ω.tbl'
  expect_status=1 same refused new -o a.tbl
  stop_sims

  # Without a board the search names the COM ports, and no Linux group.
  says() {
    local expected="$1" err
    shift
    err="$(cd "$win" && wine "$programs/kxp40s-cli.exe" "$@" 2>&1 >/dev/null </dev/null)" &&
      fail "$*: no failure"
    [[ "$err" == *"$expected"* && "$err" != *group* ]] || fail "$*: said '$err'"
  }
  says "(searched " read -o none.tbl --no-pause
  says "(COM5)" read --port COM5 -o none.tbl --no-pause
  says "(COM9: no such file)" read --port COM9 -o none.tbl --no-pause
  local file
  for file in a.tbl r.tbl 'Grüße-Ω.tbl' pager.tbl; do
    cmp "$lin/$file" "$win/$file" || fail "$file differs between the systems"
  done
  local linux_backups windows_backups
  linux_backups=$(find "$lin/data/kxp40s/backups" -name '*.tbl' | wc -l)
  windows_backups=$(find "$win_data/backups" -name '*.tbl' 2>/dev/null | wc -l)
  [ "$linux_backups" -gt 0 ] && [ "$linux_backups" = "$windows_backups" ] ||
    fail "backups: $linux_backups on Linux, $windows_backups on Windows"
}

# The window runs from a folder of its own, where it keeps "default.tbl".
window="$work/window"
window_pid=""

start_window() {
  rm -f "$window/window.out"
  wine "$window/kxp40s.exe" --report >"$window/window.out" 2>"$window/window.err" &
  window_pid=$!
  local i
  for i in $(seq 300); do
    grep -q "Board Connect" "$window/window.out" 2>/dev/null && return
    sleep 0.1
  done
  fail "the window did not find the board: $(cat "$window/window.out")"
  return 1
}

# The first window shown whose title matches $1; nothing when none is.
visible() {
  { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; } | head -n1
}

# Presses $1 in the main window, then answers every message box with Enter
# (Yes, OK) until neither a box nor the transfer window ("kxp40s") is left.
press() {
  local main
  main="$(visible '^KXP40S V05\.12 USB KAVION')"
  xdotool windowfocus --sync "$main" key "$1"
  local i box idle=0
  for i in $(seq 600); do
    box="$(visible '^(KXP40|KXP40S V05\.12)$')"
    if [ -n "$box" ]; then
      xdotool windowfocus --sync "$box" key Return
      idle=0
      sleep 0.3
    elif [ -n "$(visible '^kxp40s$')" ]; then
      idle=0
      sleep 0.1
    else
      idle=$((idle + 1))
      [ "$idle" -lt 20 ] || return 0
      sleep 0.1
    fi
  done
  fail "the window kept asking after $1"
}

close_window() {
  press ctrl+e
  local i
  for i in $(seq 100); do
    kill -0 "$window_pid" 2>/dev/null || break
    sleep 0.1
  done
  wait "$window_pid" || fail "the window ended with status $?"
}

# capcode 1 of a table file, as the Linux command line shows it.
capcode1() {
  "$linux_cli" show "$1" | sed -n 's/^capcode1 = //p'
}

check_window() {
  echo "== the window by keyboard through COM5"
  mkdir -p "$window"
  cp "$programs/kxp40s.exe" "$window/"
  "$linux_cli" new -o "$window/prepared.tbl" >/dev/null
  "$linux_cli" set "$window/prepared.tbl" capcode1=1234000 >/dev/null
  # The simulator's pager has capcode 1 1234567 until it is written.

  # Pager > Read, then File > Save: "default.tbl" holds the pager's memory.
  cp "$window/prepared.tbl" "$window/default.tbl"
  start_sim "$com5" "$window/after-read.tbl"
  start_window || return 0
  local main
  main="$(visible '^KXP40S V05\.12 USB KAVION')"
  xwd -id "$main" -silent | xwdtopnm 2>/dev/null | pnmtopng >"$work/window.png"
  press F3
  press ctrl+s
  close_window
  stop_sims
  [ "$(capcode1 "$window/default.tbl")" = 1234567 ] ||
    fail "read and saved by the window: capcode 1 is $(capcode1 "$window/default.tbl")"

  # Pager > Write of "default.tbl" as the window opens it.
  cp "$window/prepared.tbl" "$window/default.tbl"
  start_sim "$com5" "$window/after-write.tbl"
  start_window || return 0
  press F4
  close_window
  stop_sims
  [ "$(capcode1 "$window/after-write.tbl")" = 1234000 ] ||
    fail "written by the window: the pager's capcode 1 is $(capcode1 "$window/after-write.tbl")"
}

check_command_line
check_window

if [ "$failures" -gt 0 ]; then
  echo "$failures end-to-end checks failed (details in $work)" >&2
  exit 1
fi
echo "end to end under Wine: all passed"
