# bash completion for vistrel-cli                                           -*- shell-script -*-
# The commands, each command's options, the fixed values of --format, --colors, --quality and
# --area, folders where a folder is asked for and file names elsewhere. Installed as
# share/bash-completion/completions/vistrel-cli, where bash-completion loads it on first use;
# without that package, source it from ~/.bashrc.

_vistrel_cli_names()
{
    # -o filenames: bash quotes what it inserts and marks folders with a slash.
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen "$1" -- "$2")
}

_vistrel_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    # "--format=pn" reaches a completion as "--format" "=" "pn".
    if [[ $cur == = ]]; then
        cur=
    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    fi
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        mapfile -t COMPREPLY < <(compgen -W "info convert thumbs capture help --help" -- "$cur")
        return
    fi
    local values=
    case $prev in
    --format) values="bmp gif jpg png" ;;
    --colors) values="2 4 8 16 32 64 128 256 16777216" ;;
    --quality) values="90 80 75 60 45" ;;
    --area) values="screen monitor window" ;;
    --folder | --out)
        _vistrel_cli_names -d "$cur"
        return
        ;;
    # Numbers, sizes and rectangles: nothing to offer.
    --prefix | --dpi | --delay | --monitor | --crop | --box | --jobs) return ;;
    esac
    if [[ -n $values ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$values" -- "$cur")
        return
    fi
    local options operands=-f
    case ${COMP_WORDS[1]} in
    info) options="--exif" ;;
    convert) options="--format --colors --quality --crop --dpi" ;;
    thumbs)
        options="--box --out --jobs --overwrite"
        operands=-d
        ;;
    capture)
        options="--folder --prefix --format --dpi --delay --area --monitor --clipboard --no-file"
        operands=
        ;;
    *) return ;;
    esac
    # After "--" every argument is a file.
    local i
    for ((i = 2; i < COMP_CWORD; i++)); do
        [[ ${COMP_WORDS[i]} == -- ]] && options= && break
    done
    if [[ -n $options && $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options --help" -- "$cur")
    elif [[ -n $operands ]]; then
        _vistrel_cli_names "$operands" "$cur"
    fi
}

complete -F _vistrel_cli vistrel-cli
