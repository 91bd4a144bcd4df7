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
tools=$(mktemp -d)
trap 'rm -rf "$work" "$tools"' EXIT
cd "$work" || exit 1
mkdir "Ordner mit Blank"
touch alt.mvd GROSS.MVD tabelle.csv liste.xlsx notiz.txt bericht.pdf
# An mvd that lists two versions of alt.mvd and none of any other file.
cat >"$tools/mvd" <<'EOF'
#!/bin/sh
[ "$1 $2 $3" = "versions -- alt.mvd" ] || { echo "Keine älteren Versionen von $3 vorhanden."; exit 0; }
echo "Version                 Datum                    Einträge       Größe"
echo "20261207-143005-120034  07.12.2026 14:30:05             3      1,2 KB"
echo "20261201-090000-000001  01.12.2026 09:00:00     nicht lesbar      0,1 KB"
EOF
chmod +x "$tools/mvd"
PATH="$tools:$PATH"

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

check "mvd " "--help --version add check export help import list merge report restore stats versions"
check "mvd ex" "export"
check "mvd --v" "--version"
check "mvd help " "add check export import list merge report restore stats versions"
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
check "mvd report alt.mvd --" "--from --help --output --period --to"
check "mvd report alt.mvd --period " "last-month last-quarter last-year this-month this-quarter this-year"
check "mvd report alt.mvd --period=this-q" "this-quarter"
check "mvd report alt.mvd --from " ""
check "mvd report alt.mvd --output " "Ordner mit Blank bericht.pdf"
check "mvd report --from 01.01.2026 " "GROSS.MVD Ordner mit Blank alt.mvd"
check "mvd versions " "GROSS.MVD Ordner mit Blank alt.mvd"
check "mvd versions alt.mvd " ""
check "mvd restore " "GROSS.MVD Ordner mit Blank alt.mvd"
check "mvd restore alt.mvd " "20261201-090000-000001 20261207-143005-120034"
check "mvd restore alt.mvd 20261207" "20261207-143005-120034"
check "mvd restore GROSS.MVD " ""
check "mvd restore alt.mvd 20261207-143005-120034 " ""
check "mvd restore alt.mvd --" "--entries-only --help"
check "mvd list -- " "GROSS.MVD Ordner mit Blank alt.mvd"
check "mavrolin " "GROSS.MVD Ordner mit Blank alt.mvd"
check "mavrolin a" "alt.mvd"
check "mavrolin --" "-- --help --version"

echo "$passed passed, $failed failed"
((failed == 0))
