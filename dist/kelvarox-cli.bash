# bash completion for kelvarox-cli: its commands and their subcommands, its options and their
# values, and block files (*.dat, *.tlm, any case) or directories where a block is expected.

_kelvarox_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local commands="info table csv graph archive series orbits fold breaches satellite"
    local options="--orbit-hibyte --coefficients --layout -o --output --database --channel --from --to
                   --satellite --utc --bins --level --summary --archive -h --help --version"
    local valued="--orbit-hibyte|--coefficients|--layout|-o|--output|--database|--channel|--from|--to|--satellite|--bins|--level"
    COMPREPLY=()

    case $prev in
        --orbit-hibyte|--coefficients|--layout|--channel|--from|--to|--bins)
            return 0 ;;  # a number, a list of numbers or a channel: nothing to offer
        --level)
            mapfile -t COMPREPLY < <(compgen -W "yellow red" -- "$cur")
            return 0 ;;
        -o|--output|--database|--satellite)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return 0 ;;
    esac

    # The command and its subcommand are the first words that are no option and no option's value.
    local i words=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        if [[ ${COMP_WORDS[i]} == @($valued) ]]; then
            ((i++))
        elif [[ ${COMP_WORDS[i]} != -* ]]; then
            words+=("${COMP_WORDS[i]}")
        fi
    done
    local command=${words[0]-}

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    elif [[ -z $command ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
    elif [[ ${#words[@]} -eq 1 && $command == archive ]]; then
        mapfile -t COMPREPLY < <(compgen -W "add list stats check set-orbit" -- "$cur")
    elif [[ ${#words[@]} -eq 1 && $command == satellite ]]; then
        mapfile -t COMPREPLY < <(compgen -W "export check" -- "$cur")
    elif [[ $command == satellite ]]; then
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    elif [[ $command == @(series|orbits|fold|breaches) || ($command == archive && ${words[1]-} != @(add|set-orbit)) ]]; then
        return 0  # channels and orbits: nothing to offer
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
