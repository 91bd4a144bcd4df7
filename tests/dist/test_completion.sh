#!/usr/bin/env bash
# The bash completions of mvd and mavrolin: each case types a command line
# up to the cursor and compares the completions offered (sorted).
#   test_completion.sh <folder with the completion files>
set -u
folder=${1:?folder of the completion files}
# shellcheck source=/dev/null
source "$folder/mvd"
# shellcheck source=/dev/null
source "$folder/mavrolin"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir "Ordner mit Blank"
touch alt.mvd GROSS.MVD tabelle.csv liste.xlsx notiz.txt

failed=0
passed=0
# check "<line up to the cursor>" "<expected completions, sorted, one blank apart>"
check() {
    local line=$1 expected=$2
    # The words as bash splits them for completion ("=" stands alone).
    local IFS=$' \t\n'
    read -ra COMP_WORDS <<<"${line//=/ = }"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    "_${COMP_WORDS[0]}" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" 2>/dev/null
    local actual
    actual=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' ')
    if [[ $actual == "$expected" ]]; then
        ((passed++))
    else
        ((failed++))
        printf 'FAIL: "%s"\n  expected: %s\n  offered:  %s\n' "$line" "$expected" "$actual"
    fi
}

check "mvd " "--help --version add check export help import list merge stats"
check "mvd ex" "export"
check "mvd --v" "--version"
check "mvd help " "add check export import list merge stats"
check "mvd list " "GROSS.MVD Ordner mit Blank alt.mvd"
check "mvd list alt.mvd " ""
check "mvd merge alt.mvd " "GROSS.MVD Ordner mit Blank alt.mvd"
check "mvd import alt.mvd " "Ordner mit Blank tabelle.csv"
check "mvd import alt.mvd tabelle.csv t" "tabelle.csv"
check "mvd export alt.mvd --" "--delimiter --format --help --output"
check "mvd export alt.mvd --format " "csv xlsx"
check "mvd export alt.mvd --format=x" "xlsx"
check "mvd export alt.mvd --delimiter " "',' ';' tab"
check "mvd export alt.mvd --output " "Ordner mit Blank liste.xlsx tabelle.csv"
check "mvd stats alt.mvd --by " "category language month project weekday"
check "mvd stats alt.mvd --by=mo" "month"
check "mvd stats alt.mvd --by=month --measure " "count minutes"
check "mvd stats --by month " "GROSS.MVD Ordner mit Blank alt.mvd"
check "mvd add alt.mvd --language " ""
check "mvd add alt.mvd --d" "--date --description"
check "mvd list -- " "GROSS.MVD Ordner mit Blank alt.mvd"
check "mavrolin " "GROSS.MVD Ordner mit Blank alt.mvd"
check "mavrolin a" "alt.mvd"
check "mavrolin --" "-- --help --version"

echo "$passed passed, $failed failed"
((failed == 0))
