#compdef tobrin-cli
# SPDX-License-Identifier: GPL-3.0-or-later
# zsh completion for tobrin-cli. As the bash completion does, it reads the commands and
# their options from "tobrin-cli --help" and "tobrin-cli COMMAND --help".
_tobrin-cli() {
    local -a commands options
    if (( CURRENT == 2 )); then
        commands=(${(f)"$(_call_program commands $words[1] --help 2>/dev/null |
            sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\)  *\(.*\)/\1:\2/p')"})
        _describe -t commands 'tobrin-cli command' commands
        _arguments '(- *)'{-h,--help}'[show the help]' '(- *)'{-v,--version}'[show the version]'
        return
    fi
    case $words[CURRENT-1] in
    --config | --image) _files; return ;;
    --show) compadd headers dirs all; return ;;
    --drive | --title | --publisher | --memo | --year | --month | --header6 | --preset) return ;;
    esac
    if [[ $PREFIX == -* ]]; then
        options=(${(f)"$(_call_program options $words[1] $words[2] --help 2>/dev/null |
            grep -o -- '--[a-z0-9-]*' | sort -u)"})
        compadd -a options
    else
        _files
    fi
}
_tobrin-cli "$@"
