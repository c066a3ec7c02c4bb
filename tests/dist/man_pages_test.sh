#!/usr/bin/env bash
# The man pages hold what the programs' --help says: every program has one,
# naming itself; kxp40s-cli's has a sub-heading for each command its --help
# lists, and the port permissions.
# Usage: man_pages_test.sh MAN-DIR BIN-DIR
set -uo pipefail
man="$1" bin="$2"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for program in kxp40s-cli kxp40s-sim kxp40s; do
    [[ -x $bin/$program ]] || continue
    page=$(zcat "$man/$program.1.gz") || { fail "no man page for $program"; continue; }
    grep -q "^$program \\\\- " <<<"$page" || fail "$program: no NAME line"
    grep -q "^\.TH $(tr a-z A-Z <<<"$program") \"1\" " <<<"$page" || fail "$program: no title"
done

page=$(zcat "$man/kxp40s-cli.1.gz")
commands=$("$bin/kxp40s-cli" --help | sed -n '/^Subcommands:$/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')
[[ -n $commands ]] || fail "kxp40s-cli --help lists no commands"
for command in $commands; do
    grep -q "^\.SS \"$command:\"" <<<"$page" || fail "kxp40s-cli: no sub-heading for $command"
done
for group in dialout lp; do
    grep -q "fB$group" <<<"$page" || fail "kxp40s-cli: the group $group is not named"
done
echo "$failures failed"
[[ $failures -eq 0 ]]
