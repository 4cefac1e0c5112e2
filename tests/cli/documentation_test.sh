#!/usr/bin/env bash
# The manual pages and the bash completion against tarnwick-cli itself.
# Usage: documentation_test.sh CASE TARNWICK_CLI SOURCE_DIR
set -uo pipefail
case_name=$1 cli=$2 source_dir=$3
window_page=$source_dir/app/Tarnwick.1
cli_page=$source_dir/cli/tarnwick-cli.1
completion=$source_dir/cli/tarnwick-cli.bash-completion
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Both pages render with every warning on (man runs groff -ww as lintian does) and pass mandoc's
# checker, style remarks included.
man_pages_render_cleanly() {
    command -v mandoc >/dev/null || fail "mandoc is missing: scripts/install-deps installs it"
    local page warnings
    for page in "$window_page" "$cli_page"; do
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
        [[ -z $warnings ]] || fail "man --warnings on $page: $warnings"
        mandoc -T lint "$page" || fail "mandoc -T lint $page"
    done
}

# Every option and command that --help lists has its entry in the page and in the completion.
help_is_documented_and_completed() {
    local help options commands word escaped
    help=$("$cli" --help) || fail "$cli --help"
    options=$(grep -oE '^  (-[a-z], )?--[a-z0-9-]+' <<<"$help" | grep -oE -- '-[a-z]$|--[a-z0-9-]+$')
    commands=$(sed -n '/^Commands:/,/^$/p' <<<"$help" | grep -oE '^  [a-z]+' | tr -d ' ')
    [[ -n $options && -n $commands ]] || fail "no options or commands in --help"
    for word in $options; do
        escaped=${word//-/\\-}
        grep -qE "^\.(B|BI|BR) ([^ ]+ \"?)?${escaped//\\/\\\\}( |\"|$)" "$cli_page" ||
            fail "$word has no entry in $cli_page"
        grep -qE "^ *'$word(=.*)?'$" "$completion" || fail "$word is not in $completion"
    done
    for word in $commands; do
        grep -qE "^\.(B|BI) \"?$word( |\"|$)" "$cli_page" || fail "command $word has no entry in $cli_page"
        grep -qE "^ *'$word [0-9]+'$" "$completion" || fail "command $word is not in $completion"
    done
}

# What Tab offers after a line, one row per case: the line, then the words offered.
completion_offers_words() {
    [[ -r /usr/share/bash-completion/bash_completion ]] ||
        fail "bash-completion is missing: scripts/install-deps installs it"
    # shellcheck disable=SC1091
    source /usr/share/bash-completion/bash_completion
    # shellcheck disable=SC1090
    source "$completion"
    local line expected offered
    while IFS='|' read -r line expected; do
        COMP_LINE=$line COMP_POINT=${#line}
        read -ra COMP_WORDS <<<"$line"
        [[ $line == *' ' ]] && COMP_WORDS+=('')
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMPREPLY=()
        _tarnwick_cli tarnwick-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        offered=${COMPREPLY[*]}
        [[ $offered == "$expected" ]] || fail "after \"$line\": offered \"$offered\", not \"$expected\""
    done <<'ROWS'
tarnwick-cli 127.0.0.1:16161 |vlans members dump move save locate
tarnwick-cli '[::1]:16161' m|members move
tarnwick-cli --json 127.0.0.1 --timeout 2000 d|dump
tarnwick-cli 127.0.0.1 --timeout 1|1000 10000
tarnwick-cli 127.0.0.1 --read-community |
tarnwick-cli 127.0.0.1 --read-community move |vlans members dump move save locate
tarnwick-cli 127.0.0.1 move 3-4 1 |
tarnwick-cli 127.0.0.1 move 3-4 1 2 --d|--dry-run
tarnwick-cli 127.0.0.1 vlans --j|--json
tarnwick-cli 127.0.0.1 l|locate
tarnwick-cli --ver|--version
tarnwick-cli 127.0.0.1 dump --snmp-version |1 2c 3
tarnwick-cli 127.0.0.1 vlans --mib q|q-bridge
tarnwick-cli 127.0.0.1 dump --priv-protocol AES-|AES-192 AES-256
tarnwick-cli und|undo
tarnwick-cli --timeout 2000 conf|confirm
tarnwick-cli journal --l|--last
tarnwick-cli undo 7 --no-j|--no-journal
tarnwick-cli 127.0.0.1 move 3 1 2 --revert-after |60 120 300 600
ROWS
}

"$case_name"
[[ $failures -eq 0 ]]
