#!/usr/bin/env bash
# Reversing a posted day and the posting status of each day, point and book,
# on a demo company whose short date format is day/month/year: status before
# and after posting, a reversal and its voucher, posting the day again,
# refused reversals, the invoice trigger, and a company made before the
# reversal existed.
. "$(dirname "$0")/lib.sh"

today=$(day 0 %d/%m/%Y)
iso_today=$(day 0 %Y-%m-%d)
iso_first=$(day -4 %Y-%m-%d)

status() { # FROM TO: the status rows of the range
    rows "select * from estado_ventas_contado('$1', '$2')"
}
status_of() { # PTVT_ID BOOK: today's status row of a point and book
    status "$iso_today" "$iso_today" | grep "^$iso_today|$1|$2|"
}
sales_of_today() { # PTVT_ID -> "count|total" of the cash sales, voided left out
    rows "select count(*), sum(fact_total) from facturas where fact_fecha = '$iso_today' and ptvt_id = $1 and tido_cod = 31 and fact_anulada = 'N'"
}
lines() { # IDC: the lines as account|third party|debit|credit|detail, in order
    rows "select cuen_cod, terc_nit, coli_debito, coli_credito, coli_detalle from comprobante_lineas where comp_id = $1 order by coli_item"
}
swapped_lines() { # IDC: its lines with debit and credit swapped
    rows "select cuen_cod, terc_nit, coli_credito, coli_debito, coli_detalle from comprobante_lineas where comp_id = $1 order by coli_item"
}
ledger_counts() { # what a refused reversal must leave as it was
    rows "select (select count(*) from comprobantes), (select count(*) from comprobante_lineas), (select count(*) from comprobante_reversiones), (select count(*) from facturas where fact_comp_local is not null), (select count(*) from facturas where fact_comp_niif is not null), (select count(*) from errores) from rdb\$database"
}
unbalanced_books() { # books whose completed vouchers do not balance
    first_value "select count(*) from (select libr_cod from comprobante_lineas l where exists(select 1 from comprobantes c where c.comp_id = l.comp_id and c.comp_estado = 'C') group by libr_cod having sum(coli_debito) <> sum(coli_credito));"
}
reverse() { # PTVT_ID BOOK: the rows of a reversal of today
    rows "select * from reversar_ventas_contado('$iso_today', $1, '$2')"
}
reverse_fails() { # PTVT_ID BOOK: the error of a refused reversal of today
    sql_fails "select * from reversar_ventas_contado('$iso_today', $1, '$2');"
}
posted_and_completed() { # DATE_TEXT PTVT_ID [niif]: sets IDC to the completed voucher
    post "$@"
    [ "$VER|$ERR" == "S|0" ] || fail "posting $*: VER/ERR $VER|$ERR"
    complete "$IDC" >/dev/null
}

new_company reversal --demo --date-order DMY

case_begin "before posting, every day and point with cash sales is listed in both books, nothing entered"
listed=$(status "$iso_first" "$iso_today")
expect_eq "five days of five points in two books" 50 "$(wc -l <<<"$listed")"
expect_eq "in the order of day, point and book" "$(sort -t'|' -k1,1 -k2,2n -k3,3 <<<"$listed")" "$listed"
expect_eq "nothing entered in any book" 0 "$(grep -cv '|0||$' <<<"$listed")"
expect_eq "today, point 1, local book: its cash sales" "$iso_today|1|L|$(sales_of_today 1)|0||" \
    "$(status_of 1 L)"
expect_eq "a range without sales" "" "$(status "$(day 1 %Y-%m-%d)" "$(day 30 %Y-%m-%d)")"

case_begin "a posted day is entered in its book by its voucher"
posted_and_completed "$today" 1
original=$IDC
posted_and_completed "$today" 1 niif
niif_voucher=$IDC
expect_eq "local book: every sale entered by the voucher, nothing reversed" \
    "$iso_today|1|L|$(sales_of_today 1)|$(sales_of_today 1 | cut -d'|' -f1)|$original|" "$(status_of 1 L)"
expect_eq "NIIF book" "$niif_voucher|" "$(status_of 1 N | cut -d'|' -f7-)"
expect_eq "another point untouched" "0||" "$(status_of 2 L | cut -d'|' -f6-)"

case_begin "a reversal writes the original's lines swapped and frees the day's sales of that book"
original_lines=$(lines "$original")
original_links=$(rows "select fact_id from comprobante_facturas where comp_id = $original order by fact_id")
IFS='|' read -r reversed reversing <<<"$(reverse 1 L)"
expect_eq "one row: the original" "$original" "$reversed"
expect_match "and its reversing voucher" '^[1-9][0-9]*$' "$reversing"
expect_eq "reversing voucher" "C|L|$iso_today|31|FV01|1|222222222222|Reverso del comprobante $original" \
    "$(rows "select comp_estado, libr_cod, comp_fecha, tido_cod, pref_pre, ptvt_id, terc_nit, comp_detalle from comprobantes where comp_id = $reversing")"
expect_eq "same interface" "$(first_value "select inve_id from comprobantes where comp_id = $original;")" \
    "$(first_value "select inve_id from comprobantes where comp_id = $reversing;")"
expect_eq "its lines are the original's, debit and credit swapped" "$(swapped_lines "$original")" "$(lines "$reversing")"
expect_eq "it holds no sales" 0 "$(first_value "select count(*) from comprobante_facturas where comp_id = $reversing;")"
expect_eq "recorded" "$original|$reversing" "$(rows "select comp_id, comp_reverso from comprobante_reversiones")"
expect_eq "the original keeps its state and lines" "C|$original_lines" \
    "$(first_value "select comp_estado from comprobantes where comp_id = $original;")|$(lines "$original")"
expect_eq "and its sales links" "$original_links" \
    "$(rows "select fact_id from comprobante_facturas where comp_id = $original order by fact_id")"
expect_eq "both books balance" 0 "$(unbalanced_books)"
expect_eq "the sales are out of the local book" 0 \
    "$(first_value "select count(*) from facturas where fact_comp_local is not null;")"
expect_eq "and still in the NIIF book" "$(sales_of_today 1 | cut -d'|' -f1)" \
    "$(first_value "select count(*) from facturas where fact_comp_niif = $niif_voucher;")"
expect_eq "status: nothing entered, the voucher reversed" "0||$original" "$(status_of 1 L | cut -d'|' -f6-)"
expect_eq "status of the NIIF book unchanged" "$niif_voucher|" "$(status_of 1 N | cut -d'|' -f7-)"

case_begin "a reversal is refused when nothing is posted or all is reversed, and changes nothing"
before=$(ledger_counts)
expect_match "twice" "ya fueron reversadas" "$(reverse_fails 1 L)"
expect_match "naming point, date and book" "punto 1 el $iso_today en el libro L" "$(reverse_fails 1 L)"
expect_match "a day with nothing posted" "No hay ventas contabilizadas del punto 2 el $iso_today en el libro L" \
    "$(reverse_fails 2 L)"
post "$today" 3
pending=$IDC
expect_match "a pending voucher is not a posting" "No hay ventas contabilizadas" "$(reverse_fails 3 L)"
expect_eq "it stays pending" P "$(first_value "select comp_estado from comprobantes where comp_id = $pending;")"
sql "delete from comprobantes where comp_id = $pending;" >/dev/null
expect_eq "row counts" "$before" "$(ledger_counts)"

case_begin "posting a reversed day again writes the original's lines"
posted_and_completed "$today" 1
again=$IDC
expect_eq "same lines" "$original_lines" "$(lines "$again")"
expect_eq "every sale taken again" "$(sales_of_today 1 | cut -d'|' -f1)" \
    "$(first_value "select count(*) from facturas where fact_comp_local = $again;")"
expect_eq "status: entered by the new voucher, the old one reversed" \
    "$(sales_of_today 1 | cut -d'|' -f1)|$again|$original" "$(status_of 1 L | cut -d'|' -f6-)"
IFS='|' read -r reversed reversing_again <<<"$(reverse 1 L)"
expect_eq "reversing again takes only the new posting" "$again" "$reversed"
expect_eq "both listed as reversed, ascending" "0||$original,$again" "$(status_of 1 L | cut -d'|' -f6-)"
expect_eq "both books balance" 0 "$(unbalanced_books)"

case_begin "posted sales and reversals keep what was entered"
IFS='|' read -r reversed niif_reversing <<<"$(reverse 1 N)"
posted_and_completed "$today" 1 niif
expect_match "a posted sale cannot change" "ya está contabilizada" \
    "$(sql_fails "update facturas set fact_total = fact_total + 1 where fact_comp_niif = $IDC;")"
expect_match "nor leave a book whose voucher is not reversed" "ya está contabilizada" \
    "$(sql_fails "update facturas set fact_comp_niif = null where fact_comp_niif = $IDC;")"
expect_match "nor be deleted" "ya está contabilizada" \
    "$(sql_fails "delete from facturas where fact_comp_niif = $IDC;")"
expect_match "a reversing voucher is never reversed" "es un reverso" \
    "$(sql_fails "insert into comprobante_reversiones (comp_id, comp_reverso) values ($reversing, $IDC);")"
expect_match "a reversal cannot be removed" "no puede cambiar" \
    "$(sql_fails "delete from comprobante_reversiones where comp_id = $original;")"
expect_eq "reversals" 3 "$(first_value "select count(*) from comprobante_reversiones;")"

case_begin "a company made before the reversal existed takes it over its posted days"
# the set-up script and the schema as they were before this file
mkdir -p "$work/before/scripts" "$work/before/db"
cp "$create_company" "$work/before/scripts/"
cp -r "$top/db/schema" "$work/before/db/"
rm "$work/before/db/schema/14_posting_status_and_reversal.sql"
db=$("$work/before/scripts/create-company.sh" --demo --date-order DMY "$work/before-company" 001) || {
    echo "could not create the company without the reversal" >&2
    exit 1
}
expect_eq "it has no reversals" 0 \
    "$(first_value "select count(*) from rdb\$relations where rdb\$relation_name = 'COMPROBANTE_REVERSIONES';")"
posted_and_completed "$today" 1
old_posting=$IDC
old_lines=$(lines "$old_posting")
upgrade=$("$isql" -q -b -user SYSDBA -i "$top/db/schema/14_posting_status_and_reversal.sql" "$db" 2>&1)
expect_eq "the file runs on it" "0|" "$?|$upgrade"
expect_eq "status of the day posted before" "$(sales_of_today 1 | cut -d'|' -f1)|$old_posting|" \
    "$(status_of 1 L | cut -d'|' -f6-)"
expect_eq "reversed" "$old_posting" "$(reverse 1 L | cut -d'|' -f1)"
expect_eq "sales free" 0 "$(first_value "select count(*) from facturas where fact_comp_local is not null;")"
posted_and_completed "$today" 1
expect_eq "posted again with the same lines" "$old_lines" "$(lines "$IDC")"
expect_eq "status" "$(sales_of_today 1 | cut -d'|' -f1)|$IDC|$old_posting" "$(status_of 1 L | cut -d'|' -f6-)"

finish
