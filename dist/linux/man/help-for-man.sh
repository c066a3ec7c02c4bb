#!/bin/sh
# What help2man reads to write a program's man page: KXP40S_MAN_PROGRAM's
# --version, or its --help followed by the --help of each of its commands
# (with the notes that only a command's own help has), each under a
# sub-heading of a COMMANDS section. So the man page says what the program
# says, and a new command or option appears in it without a change here.
set -eu
program="${KXP40S_MAN_PROGRAM:?names the program}"
name="$(basename "$program")"

# The program's path in a Usage line becomes its name, as a user types it.
usage_by_name() { sed "s|^\( *Usage: \)$program|\1$name|"; }

# A command's help, indented under its sub-heading: its first line (what it
# does) a paragraph of its own, and each line of a list in its notes (the
# keys of set, indented there) a paragraph too, so that man keeps them apart.
as_subsection() {
  awk 'listed && !/^   / { print "" }
       { listed = /^  [^ ]/; print (length($0) ? "  " $0 : "") }
       NR == 1 { print "" }'
}

if [ "${1:-}" = "--version" ]; then
  exec "$program" --version
fi

commands="$("$program" --help | sed -n '/^Subcommands:$/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')"
"$program" --help | sed '/^Subcommands:$/,/^$/d' | usage_by_name
[ -n "$commands" ] || exit 0
printf '\n*Commands*\n'
for command in $commands; do
  printf '\n%s:\n' "$command"
  # Every command answers -h and --help-all alike; the main help says so once.
  "$program" "$command" --help | grep -v -e '^  -h,--help ' -e '^  --help-all ' \
    | usage_by_name | as_subsection
done
