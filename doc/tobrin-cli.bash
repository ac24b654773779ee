# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for tobrin-cli. The commands and their options are read from
# "tobrin-cli --help" and "tobrin-cli COMMAND --help", so they never fall behind.
# File names are completed whole, blanks included, and folders with a trailing slash
# (compopt -o filenames); "--config=PATH" completes PATH.
_tobrin_cli() {
    local cur prev cmd words
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    if [[ $COMP_CWORD -eq 1 ]]; then
        words=$("$1" --help 2>/dev/null | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\).*/\1/p')
        COMPREPLY=($(compgen -W "$words --help --version" -- "$cur"))
        return
    fi
    cmd=${COMP_WORDS[1]}
    # bash splits "--config=PATH" at the "=": the option is then the word before it.
    if [[ $prev == = ]]; then
        prev=${COMP_WORDS[COMP_CWORD-2]}
    elif [[ $cur == = ]]; then
        prev=$prev$cur
        cur=
    fi
    case ${prev%=} in
    --config | --image)
        compopt -o filenames
        local IFS=$'\n'
        COMPREPLY=($(compgen -f -- "$cur"))
        return ;;
    --show)
        COMPREPLY=($(compgen -W "headers dirs all" -- "$cur"))
        return ;;
    --drive | --title | --publisher | --memo | --year | --month | --header6 | --preset)
        return ;;
    esac
    if [[ $cur == -* ]]; then
        words=$("$1" "$cmd" --help 2>/dev/null | grep -o -- '--[a-z0-9-]*' | sort -u)
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
    fi
}
complete -F _tobrin_cli tobrin-cli
