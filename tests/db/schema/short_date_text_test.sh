#!/usr/bin/env bash
# Reading the short date text of a posting run in each configured order of
# day, month and year; the cases are in short_date_cases.txt.
. "$(dirname "$0")/lib.sh"

new_company dates
cases=$(dirname "$0")/short_date_cases.txt

case_begin "date texts in each order"
queries=""
expected=()
labels=()
while IFS='|' read -r order text want; do
    [[ -z $order || $order == \#* ]] && continue
    queries+="select coalesce(cast(fecha_corta($(quoted "$text"), $(quoted "$order")) as varchar(10)), '-') from rdb\$database;"$'\n'
    expected+=("$want")
    labels+=("$order [$text]")
done <"$cases"
mapfile -t got < <(sql "$queries")
expect_eq "number of answers" "${#expected[@]}" "${#got[@]}"
for i in "${!expected[@]}"; do
    expect_eq "${labels[i]}" "${expected[i]}" "${got[i]:-}"
done

case_begin "a two-digit year is taken in the century nearest to this year"
year=$(date +%Y)
for offset in 0 -49 49; do
    y=$((year + offset))
    expect_eq "year ${y: -2}" "$y-03-01" "$(first_value "select fecha_corta('01/03/${y: -2}', 'DMY') from rdb\$database;")"
done

finish
