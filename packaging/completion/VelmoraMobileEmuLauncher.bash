# bash completion for VelmoraMobileEmuLauncher: its options, the stored profile names (asked of
# the launcher with --list at the moment of completion) and file names.

_VelmoraMobileEmuLauncher_options=(-h --help -v --version --list --json -l --launch --wait
    --print-command --list-devices --export --import --running --stop --stop-all --log
    --launch-tag --tag --list-tags --arrange --dbus-service --)

# The line up to the cursor as the shell will cut it into words: _VelmoraMobileEmuLauncher_words
# gets each word as typed (quotes and backslashes kept); the last is the one being completed,
# empty after a blank. Unlike COMP_WORDS, a ":" or "=" in a name does not cut it.
_VelmoraMobileEmuLauncher_split()
{
    local line=$1 word= quote= started= c i
    _VelmoraMobileEmuLauncher_words=()
    for ((i = 0; i < ${#line}; i++)); do
        c=${line:i:1}
        if [[ -n $quote ]]; then
            word+=$c
            if [[ $c == "$quote" ]]; then
                quote=
            elif [[ $quote == '"' && $c == '\' ]]; then
                i=$((i + 1))
                word+=${line:i:1}
            fi
        elif [[ $c == [[:blank:]] ]]; then
            [[ -n $started ]] && _VelmoraMobileEmuLauncher_words+=("$word")
            word= started=
        else
            started=1
            word+=$c
            case $c in
            "'" | '"') quote=$c ;;
            '\') i=$((i + 1)); word+=${line:i:1} ;;
            esac
        fi
    done
    _VelmoraMobileEmuLauncher_words+=("$word")
}

# REPLY: the word as the shell will read it: backslashes, single and double quotes removed,
# nothing expanded or run.
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

# REPLY: where the quote still open at the end of the word `$1` begins (the index of its quote
# character), or -1 when none is open.
_VelmoraMobileEmuLauncher_open()
{
    local word=$1 quote= c i
    REPLY=-1
    for ((i = 0; i < ${#word}; i++)); do
        c=${word:i:1}
        if [[ -n $quote ]]; then
            if [[ $c == "$quote" ]]; then
                quote= REPLY=-1
            elif [[ $quote == '"' && $c == '\' ]]; then
                i=$((i + 1))
            fi
        else
            case $c in
            "'" | '"') quote=$c REPLY=$i ;;
            '\') i=$((i + 1)) ;;
            esac
        fi
    done
}

# COMPREPLY: the profile names that begin with the word `$2`, asked of the launcher `$1`, each
# quoted as the shell reads it back: inside the quote the word left open, or with backslashes.
# Inside a quote readline replaces only what follows it, so only the rest of each name after
# what came before the quote is given ("'Quote'\''" completes with "s"). Names that begin with
# "-" are left out when `$3` is set (they would be read as options). A long list is filtered
# and quoted without a loop in bash: 100,000 names stay quick. `$4` lists tags instead.
_VelmoraMobileEmuLauncher_profiles()
{
    local launcher=$1 word=$2 nodash=$3 listing=${4:---list}
    _VelmoraMobileEmuLauncher_open "$word"
    local open=$REPLY quote= before=0
    if ((open >= 0)); then
        quote=${word:open:1}
        _VelmoraMobileEmuLauncher_dequote "${word:0:open}"
        before=${#REPLY}
    fi
    _VelmoraMobileEmuLauncher_dequote "$word"
    local names=()
    mapfile -t names < <("$launcher" "$listing" 2>/dev/null |
        P=$REPLY D=$nodash S=$before LC_ALL=C awk 'substr($0, 1, length(ENVIRON["P"])) == ENVIRON["P"] &&
            (ENVIRON["D"] == "" || substr($0, 1, 1) != "-") { print substr($0, ENVIRON["S"] + 1) }')
    ((${#names[@]})) || { COMPREPLY=(); return; }
    case $quote in
    \')
        # Inside single quotes only a quote needs care: close, an escaped one, open again.
        COMPREPLY=("${names[@]//\'/\'\\\'\'}")
        ;;
    \")
        # Inside double quotes: backslash, quote, dollar and backquote escaped; a "!" (history
        # expansion) cannot be, so the quote is closed around it.
        names=("${names[@]//\\/\\\\}")
        names=("${names[@]//\"/\\\"}")
        names=("${names[@]//\$/\\\$}")
        names=("${names[@]//\`/\\\`}")
        COMPREPLY=("${names[@]//!/\"\'!\'\"}")
        ;;
    *)
        mapfile -t COMPREPLY < <(printf '%q\n' "${names[@]}")
        ;;
    esac
}

# Readline replaces only the part of the word after its last ":" or "=": what comes before it
# (`$1`) is cut from each completion.
_VelmoraMobileEmuLauncher_cut()
{
    local lead=$1 reply
    [[ -n $lead ]] || return
    local kept=()
    for reply in "${COMPREPLY[@]}"; do
        [[ $reply == "$lead"* ]] && kept+=("${reply:${#lead}}")
    done
    COMPREPLY=("${kept[@]}")
}

_VelmoraMobileEmuLauncher()
{
    _VelmoraMobileEmuLauncher_split "${COMP_LINE:0:COMP_POINT}"
    local words=("${_VelmoraMobileEmuLauncher_words[@]}")
    local count=${#words[@]} launcher=${words[0]} cur=${words[-1]} option= value i
    ((count > 1)) && option=${words[-2]}
    # readline's own word: the end of ours after its last ":" or "=".
    local own=${COMP_WORDS[COMP_CWORD]}
    [[ $own == = || $own == : ]] && own=
    # "--launch=Sm": the value follows the "=".
    if [[ $cur == --*=* ]]; then
        option=${cur%%=*}
        cur=${cur#*=}
    fi
    local lead=${cur%"$own"}
    [[ $cur == *"$own" ]] || lead=
    # Typed as a path or through a link: that launcher is asked; otherwise the one on the PATH.
    launcher=${launcher/#\~/$HOME}
    [[ -x $launcher ]] || launcher=VelmoraMobileEmuLauncher

    case $option in
    -l | --launch | --print-command | --stop | --log)
        _VelmoraMobileEmuLauncher_profiles "$launcher" "$cur"
        _VelmoraMobileEmuLauncher_cut "$lead"
        return
        ;;
    --launch-tag | --tag)
        _VelmoraMobileEmuLauncher_profiles "$launcher" "$cur" "" --list-tags
        _VelmoraMobileEmuLauncher_cut "$lead"
        return
        ;;
    --arrange)
        COMPREPLY=($(compgen -W "tile cascade" -- "$cur"))
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
    for ((i = 1; i < count - 1; i++)); do
        case ${words[i]} in
        -l | --launch | --stop | --export | --launch=* | --stop=*) names=1 ;;
        --) ended=1 ;;
        esac
    done
    if [[ -z $ended && $cur == -* ]]; then
        COMPREPLY=($(compgen -W "${_VelmoraMobileEmuLauncher_options[*]}" -- "$cur"))
        return
    fi
    if [[ -n $names ]]; then
        local nodash=1
        [[ -n $ended ]] && nodash=
        _VelmoraMobileEmuLauncher_profiles "$launcher" "$cur" "$nodash"
        _VelmoraMobileEmuLauncher_cut "$lead"
    fi
}
complete -F _VelmoraMobileEmuLauncher VelmoraMobileEmuLauncher
