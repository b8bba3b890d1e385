# bash completion for kelvarox-cli: its commands, its options, and block files (*.dat, *.tlm,
# any case) or directories where a block is expected.

_kelvarox_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local commands="info table csv graph"
    local options="--orbit-hibyte --coefficients --layout -o --output -h --help --version"
    COMPREPLY=()

    case $prev in
        --orbit-hibyte|--coefficients|--layout)
            return 0 ;;  # a number or a list of numbers: nothing to offer
        -o|--output)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return 0 ;;
    esac

    # The command is the first word that is no option and no option's value.
    local i command=""
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --orbit-hibyte|--coefficients|--layout|-o|--output) ((i++)) ;;
            -*) ;;
            *) command=${COMP_WORDS[i]}; break ;;
        esac
    done

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    elif [[ -z $command ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
    else
        compopt -o filenames 2>/dev/null
        local nocase
        nocase=$(shopt -p nocaseglob)
        shopt -s nocaseglob
        mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -G "$cur*.dat"; compgen -G "$cur*.tlm")
        eval "$nocase"
    fi
    return 0
}

complete -F _kelvarox_cli kelvarox-cli
