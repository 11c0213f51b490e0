# bash completion for varlex-cli. Commands, sub-commands and options come from the program's own
# help, language names from its list of the database and tokenset names from show, so nothing here
# goes out of date when the program changes.

_varlex_cli_run()
{
    "${_varlex_cli_program:-varlex-cli}" "${_varlex_cli_folder[@]}" "$@" 2>/dev/null
}

_varlex_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local _varlex_cli_program=${COMP_WORDS[0]}
    local -a _varlex_cli_folder=() language=()
    local command="" subcommand="" i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        --folder) _varlex_cli_folder=(--folder "${COMP_WORDS[i + 1]}") && ((i++)) ;;
        --name | -n) language=(--name "${COMP_WORDS[i + 1]}") && ((i++)) ;;
        --index | -i) language=(--index "${COMP_WORDS[i + 1]}") && ((i++)) ;;
        -*) ;;
        *) if [[ -z $command ]]; then command=${COMP_WORDS[i]}; elif [[ -z $subcommand ]]; then subcommand=${COMP_WORDS[i]}; fi ;;
        esac
    done
    local IFS=$'\n'
    case $prev in
    --folder) COMPREPLY=($(compgen -d -- "$cur")) && return ;;
    --name | -n) COMPREPLY=($(compgen -W "$(_varlex_cli_run list | cut -f2)" -- "$cur")) && return ;;
    --index | -i) COMPREPLY=($(compgen -W "$(_varlex_cli_run list | cut -f1)" -- "$cur")) && return ;;
    --tokenset)
        COMPREPLY=($(compgen -W "$(_varlex_cli_run show "${language[@]}" --field tokensets |
            sed -n 's/^ *"name": "\(..*\)",\{0,1\}$/\1/p')" -- "$cur"))
        return
        ;;
    esac
    # The commands as help lists them, a group's actions as "group action".
    local listing=$(_varlex_cli_run help | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z -]*[a-z]\)  .*/\1/p')
    local actions=$(printf '%s\n' "$listing" | sed -n "s/^$command //p")
    if [[ -z $command || ($command == help && -z $subcommand) ]]; then
        local words=$(printf '%s\n' "$listing" | cut -d' ' -f1 | sort -u)
        [[ -z $command ]] && words+=$'\n--folder\n--version\n--help'
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
    elif [[ -n $actions && -z $subcommand && $cur != -* ]]; then
        COMPREPLY=($(compgen -W "$actions" -- "$cur"))
    elif [[ $cur == -* ]]; then
        local topic=("$command")
        [[ -n $actions ]] && topic+=("$subcommand")
        COMPREPLY=($(compgen -W "$(_varlex_cli_run help "${topic[@]}" |
            sed -n 's/^ *\(-[a-zA-Z], \)\{0,1\}\(--[a-z][a-z-]*\).*/\2/p' | sort -u)" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -o filenames -F _varlex_cli varlex-cli
