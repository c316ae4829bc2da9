# bash completion for zanvek-cli.
# The commands and options are read from the program's own help
# (`zanvek-cli --help`, and `zanvek-cli COMMAND --help` where a command
# answers it), so completion follows the program that is installed. An
# option whose help shows a value after it (--steps N, --regs DUMP) takes
# the next word; FILE and DUMP values complete as file names.

# _zanvek_cli_options TEXT: one line per option of TEXT, "--name" or
# "--name VALUE". Only lines that begin with an option or a command usage
# count, so the prose around them adds nothing.
_zanvek_cli_options() {
    local line rest
    while IFS= read -r line; do
        [[ $line =~ ^\ \ [a-z0-9-]+ ]] || continue
        rest=$line
        while [[ $rest =~ (--[a-z0-9-]+)([\ =]([A-Z][A-Z.]*))?(.*) ]]; do
            printf '%s %s\n' "${BASH_REMATCH[1]}" "${BASH_REMATCH[3]}"
            rest=${BASH_REMATCH[4]}
        done
    done <<< "$1"
}

_zanvek_cli() {
    local prog=${COMP_WORDS[0]} cur=${COMP_WORDS[COMP_CWORD]} prev=""
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    local help
    help=$("$prog" --help 2>/dev/null) || help=$(command zanvek-cli --help 2>/dev/null) || return

    # The commands: the first words of the "Commands:" section.
    local commands=() section="" line
    while IFS= read -r line; do
        case $line in
            Commands:) section=commands ;;
            "") section="" ;;
            *) [[ $section == commands && $line =~ ^\ \ ([a-z0-9]+) ]] && commands+=("${BASH_REMATCH[1]}") ;;
        esac
    done <<< "$help"

    # The command given so far: the first word after the options.
    local cmd="" i w
    for ((i = 1; i < COMP_CWORD; i++)); do
        w=${COMP_WORDS[i]}
        if [[ $w != -* ]]; then
            cmd=$w
            break
        fi
    done

    local options
    if [[ -z $cmd ]]; then
        options=$(_zanvek_cli_options "$(sed -n '/^Options:/,/^$/p' <<< "$help")")
    else
        local usage="" own=""
        usage=$(grep -E "^  $cmd( |\$)" <<< "$help")
        own=$("$prog" "$cmd" --help 2>/dev/null) || own=""
        options=$(_zanvek_cli_options "$usage"$'\n'"$own")
    fi

    # The value of an option that takes one.
    local name value
    while read -r name value; do
        if [[ $prev == "$name" && -n $value ]]; then
            if [[ $value == FILE || $value == DUMP ]]; then
                compopt -o filenames 2>/dev/null
                mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            else
                COMPREPLY=()
            fi
            return
        fi
    done <<< "$options"

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$(cut -d' ' -f1 <<< "$options" | sort -u)" -- "$cur")
    elif [[ -z $cmd ]]; then
        mapfile -t COMPREPLY < <(compgen -W "${commands[*]}" -- "$cur")
    elif [[ $usage =~ ^\ \ $cmd\ [^\ ] ]]; then  # the command takes arguments
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
}

complete -F _zanvek_cli zanvek-cli
