# bash completion for VelmoraMobileEmuLauncher: its options, the stored profile names (asked of
# the launcher with --list at the moment of completion) and file names.

# The word as the shell will read it: backslashes, single and double quotes removed, nothing
# expanded or run.
_VelmoraMobileEmuLauncher_dequote()
{
    local word=$1 out= quote= c i
    for ((i = 0; i < ${#word}; i++)); do
        c=${word:i:1}
        if [[ $quote == "'" ]]; then
            [[ $c == "'" ]] && quote= || out+=$c
        elif [[ $quote == '"' ]]; then
            if [[ $c == '"' ]]; then
                quote=
            elif [[ $c == '\' ]] && ((i + 1 < ${#word})); then
                i=$((i + 1))
                out+=${word:i:1}
            else
                out+=$c
            fi
        else
            case $c in
            "'" | '"') quote=$c ;;
            '\') i=$((i + 1)); out+=${word:i:1} ;;
            *) out+=$c ;;
            esac
        fi
    done
    REPLY=$out
}

# COMPREPLY: the profile names that begin with the word `$2`, asked of the launcher `$1`, each
# quoted as the shell reads it back: inside the quote the word opened, or with backslashes.
# (Readline's own quoting of file names leaves a "$" that looks like a variable as it is.)
_VelmoraMobileEmuLauncher_profiles()
{
    local launcher=$1 word=$2 name quoted
    _VelmoraMobileEmuLauncher_dequote "$word"
    local prefix=$REPLY
    COMPREPLY=()
    while IFS= read -r name; do
        [[ $name == "$prefix"* ]] || continue
        case $word in
        \'*) quoted=${name//\'/\'\\\'\'} ;;
        \"*)
            quoted=${name//\\/\\\\}
            quoted=${quoted//\"/\\\"}
            quoted=${quoted//\$/\\\$}
            quoted=${quoted//\`/\\\`}
            ;;
        *) printf -v quoted %q "$name" ;;
        esac
        COMPREPLY+=("$quoted")
    done < <("$launcher" --list 2>/dev/null)
}

_VelmoraMobileEmuLauncher()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev= option= i launcher=${COMP_WORDS[0]}
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    # "--launch=Sm": the shell splits at the "=".
    if [[ $cur == = ]]; then
        option=$prev
        cur=
    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
        option=${COMP_WORDS[COMP_CWORD - 2]}
    else
        option=$prev
    fi
    # Typed as a path or through a link: that launcher is asked; otherwise the one on the PATH.
    launcher=${launcher/#\~/$HOME}
    [[ -x $launcher ]] || launcher=VelmoraMobileEmuLauncher

    case $option in
    -l | --launch | --print-command | --stop | --log)
        _VelmoraMobileEmuLauncher_profiles "$launcher" "$cur"
        return
        ;;
    --export | --import)
        _VelmoraMobileEmuLauncher_dequote "$cur"
        local IFS=$'\n'
        COMPREPLY=($(compgen -f -- "$REPLY"))
        compopt -o filenames 2>/dev/null
        return
        ;;
    esac

    # More names after --launch, --stop and --export; after "--" even one that begins with "-".
    local names= ended=
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        -l | --launch | --stop | --export) names=1 ;;
        --) ended=1 ;;
        esac
    done
    if [[ -z $ended && $cur == -* ]]; then
        COMPREPLY=($(compgen -W '-h --help -v --version --list --json -l --launch --wait
            --print-command --list-devices --export --import --running --stop --stop-all --log --'
            -- "$cur"))
        return
    fi
    if [[ -n $names ]]; then
        _VelmoraMobileEmuLauncher_profiles "$launcher" "$cur"
        # Read as an option unless it follows "--".
        if [[ -z $ended ]]; then
            local kept=()
            for i in "${COMPREPLY[@]}"; do
                [[ $i == -* ]] || kept+=("$i")
            done
            COMPREPLY=("${kept[@]}")
        fi
    fi
}
complete -F _VelmoraMobileEmuLauncher VelmoraMobileEmuLauncher
