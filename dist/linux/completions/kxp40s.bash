# bash completion of kxp40s, kxp40s-cli and kxp40s-sim, read from the
# programs' own --help: the commands of kxp40s-cli, the options of the
# program or of the command typed, and the values an option lists
# (--board usb|lpt). A new command or option completes without a change
# here; every other word completes as a file name.

# The command names of a --help, one per line.
_kxp40s_commands() {
    sed -n '/^Subcommands:$/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p'
}

# The option names of a --help: both of "-o,--output TEXT".
_kxp40s_options() {
    sed -n 's/^  \(-[^ ]*\).*/\1/p' | tr ',' '\n'
}

# What option $1 takes, from its line of a --help: the values it lists in
# braces ("TEXT:{usb,lpt}"), "-" for a value of another kind (TEXT, INT,
# FLOAT, PATH), nothing for a flag.
_kxp40s_values() {
    awk -v option="$1" '
        $1 ~ /^-/ {
            n = split($1, names, ",")
            for (i = 1; i <= n; i++) if (names[i] == option) break
            if (i > n) next
            if ($2 !~ /^[A-Z]+(:|$)/) exit
            if (!match($2, /\{[^}]*\}/)) { print "-"; exit }
            n = split(substr($2, RSTART + 1, RLENGTH - 2), values, ",")
            for (i = 1; i <= n; i++) if (!seen[values[i]]++) print values[i]
            exit
        }'
}

_kxp40s() {
    local cur prev words cword
    _init_completion || return
    # Down the commands typed so far (backups, then list): the innermost
    # one's --help says what comes next.
    local program=${words[0]} help commands i
    local -a command=()
    help=$("$program" --help 2>/dev/null) || return
    commands=$(_kxp40s_commands <<<"$help")
    for ((i = 1; i < cword; i++)); do
        if [[ -n $commands && $'\n'$commands$'\n' == *$'\n'${words[i]}$'\n'* ]]; then
            command+=("${words[i]}")
            help=$("$program" "${command[@]}" --help 2>/dev/null) || return
            commands=$(_kxp40s_commands <<<"$help")
        fi
    done

    local values
    values=$(_kxp40s_values "$prev" <<<"$help")
    if [[ $values == - ]]; then
        _filedir
    elif [[ -n $values ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$values" -- "$cur")
    elif [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$(_kxp40s_options <<<"$help")" -- "$cur")
    elif [[ -n $commands ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
    else
        _filedir
    fi
}
complete -F _kxp40s kxp40s kxp40s-cli kxp40s-sim
