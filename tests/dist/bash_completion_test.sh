#!/usr/bin/env bash
# The bash completion of the programs, as a user meets it at the prompt:
# each case is a command line up to the cursor and what Tab offers there.
# Usage: bash_completion_test.sh COMPLETION-FILE BIN-DIR
set -uo pipefail
source /usr/share/bash-completion/bash_completion
source "$1"
PATH="$(cd "$2" && pwd):$PATH"
cd "$(mktemp -d)" && trap 'rm -rf "$PWD"' EXIT
touch pager.tbl plan.txt

failures=0
# expect "WORDS..." "OFFERED": the last word is the one being completed.
expect() {
    local -a COMP_WORDS
    read -r -a COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    local COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$1 COMP_POINT=${#1}
    COMPREPLY=()
    _kxp40s
    local offered
    offered=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' ')
    if [[ $offered != "$2" ]]; then
        echo "FAIL '$1': offered '$offered', expected '$2'"
        failures=$((failures + 1))
    fi
}

expect "kxp40s-cli " "backups diff firmware new ports read set show verify write"
expect "kxp40s-cli backups " "list restore"
expect "kxp40s-cli backups restore --f" "--force"
expect "kxp40s-cli wr" "write"
expect "kxp40s-cli --v" "--version"
expect "kxp40s-cli write --b" "--backup-before-write --board"
expect "kxp40s-cli write --board " "lpt usb"
expect "kxp40s-cli read --board l" "lpt"
expect "kxp40s-cli write --increase " "1 2"
expect "kxp40s-cli new -o pa" "pager.tbl"
expect "kxp40s-cli show " "pager.tbl plan.txt"
expect "kxp40s-cli new --defaults " "pager.tbl plan.txt"
expect "kxp40s-cli set pager.tbl --from pl" "plan.txt"
expect "kxp40s-sim --fa" "--fault"
expect "kxp40s-sim --image p" "pager.tbl plan.txt"
if [[ -x $2/kxp40s ]]; then
    expect "kxp40s --board " "lpt usb"
    expect "kxp40s pa" "pager.tbl"
fi
echo "$failures failed"
[[ $failures -eq 0 ]]
