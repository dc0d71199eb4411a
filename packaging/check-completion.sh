#!/usr/bin/env bash
# The bash completion offers, after each command, exactly the options that
# `vostrel-cli --help` documents for it: the options on the command's usage lines,
# the scanner options of the option list when the command reaches a scanner
# ("[scanner options]" or --port on its line), and those that every command takes.
# Usage: check-completion.sh COMPLETION_FILE VOSTREL_CLI
set -uo pipefail
completion=${1:?usage: check-completion.sh COMPLETION_FILE VOSTREL_CLI}
cli=${2:?usage: check-completion.sh COMPLETION_FILE VOSTREL_CLI}
[ -r /usr/share/bash-completion/bash_completion ] || { echo "bash-completion is not installed" >&2; exit 77; }

help=$("$cli" --help 2>&1) || { echo "FAIL: $cli --help: $help" >&2; exit 1; }
options_in() { grep -oE -- '--[a-z][a-z-]*' | sort -u; }

# The usage block: "vostrel-cli COMMAND ..." lines and their indented continuations.
declare -A usage
command_line='^(usage:)? +vostrel-cli ([a-z]+)'
continuation='^ {8,}[[(-]'
command=""
while IFS= read -r line; do
    if [[ "$line" =~ $command_line ]]; then
        command=${BASH_REMATCH[2]}
        usage[$command]+=" $line"
    elif [[ -n "$command" && "$line" =~ $continuation ]]; then
        usage[$command]+=" $line"
    else
        command=""
    fi
done <<<"$help"
[ "${#usage[@]}" -gt 0 ] || { echo "FAIL: no usage lines in vostrel-cli --help" >&2; exit 1; }

common=$(sed -n '/^Every command also takes/,/^$/p' <<<"$help" | options_in)
scanner=$(grep -oE -- '^--[a-z][a-z-]*' <<<"$help" | sort -u)
[ -n "$common" ] && [ -n "$scanner" ] || { echo "FAIL: no common options or option list in --help" >&2; exit 1; }

offered() {  # offered COMMAND: the options the completion offers after "vostrel-cli COMMAND --"
    bash -c 'source /usr/share/bash-completion/bash_completion
             source "$1"
             COMP_WORDS=(vostrel-cli "$2" --); COMP_CWORD=2; COMP_LINE="vostrel-cli $2 --"; COMP_POINT=${#COMP_LINE}
             _vostrel_cli vostrel-cli -- "$2"
             printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$1" | options_in
}

failed=0
for command in "${!usage[@]}"; do
    documented=$( { options_in <<<"${usage[$command]}"; echo "$common"
                    if [[ "${usage[$command]}" == *"[scanner options]"* || "${usage[$command]}" == *--port* ]]; then
                        echo "$scanner"
                    fi; } | sort -u)
    difference=$(diff <(echo "$documented") <(offered "$command"))
    if [ -n "$difference" ]; then
        echo "FAIL: after \"vostrel-cli $command\" the completion differs from --help (< documented only, > offered only):" >&2
        echo "$difference" >&2
        failed=1
    fi
done
[ "$failed" -eq 0 ] && echo "The completion offers every documented option of ${#usage[@]} commands."
exit "$failed"
