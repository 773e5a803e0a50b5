#!/usr/bin/env bash
# The posting procedures called as the program calls them, on a demo company
# whose short date format is day/month/year: a successful run, its
# completion, a repeated run, and the NIIF book.
. "$(dirname "$0")/lib.sh"

new_company posting --demo --date-order DMY
today=$(day 0 %d/%m/%Y)
yesterday=$(day -1 %d/%m/%Y)
iso_today=$(day 0 %Y-%m-%d)

# cash sales of a day and point to the company's cash client, voided excluded
day_cash_total() { # ISO_DATE PTVT_ID
    first_value "select sum(fact_total) from facturas where fact_fecha = '$1' and ptvt_id = $2 and tido_cod = 31 and fact_anulada = 'N';"
}
voucher_sums() { # IDC -> "debits|credits|lines"
    rows "select sum(coli_debito), sum(coli_credito), count(*) from comprobante_lineas where comp_id = $1"
}

case_begin "a run builds one balanced pending voucher of the day's cash sales"
post "$today" 1
expect_eq "VER" S "$VER"
expect_eq "ERR" 0 "$ERR"
expect_match "IDC" '^[1-9][0-9]*$' "$IDC"
first=$IDC
expect_eq "voucher" "P|L|$iso_today|FV01|1" \
    "$(rows "select comp_estado, libr_cod, comp_fecha, pref_pre, ptvt_id from comprobantes where comp_id = $IDC")"
IFS='|' read -r debits credits lines <<<"$(voucher_sums "$IDC")"
expect_eq "debits equal credits" "$debits" "$credits"
expect_ne "the voucher has amounts" "0.00" "$debits"
expect_eq "cash debit is what was received (voided sale left out)" "$(day_cash_total "$iso_today" 1)" \
    "$(first_value "select coli_debito from comprobante_lineas where comp_id = $IDC and cuen_cod = '110505';")"
expect_eq "every non-voided cash sale of the day is taken" \
    "$(first_value "select count(*) from facturas where fact_fecha = '$iso_today' and ptvt_id = 1 and tido_cod = 31 and fact_anulada = 'N';")" \
    "$(first_value "select count(*) from comprobante_facturas where comp_id = $IDC;")"
expect_eq "cost of the 16% goods is 0.8 times their base" \
    "$(first_value "select cast(round(sum(t.fata_base) * 0.8, 2) as numeric(15,2)) from factura_tarifas t join comprobante_facturas c on c.fact_id = t.fact_id where c.comp_id = $IDC and t.fata_porc = 16;")" \
    "$(first_value "select coli_debito from comprobante_lineas where comp_id = $IDC and coli_detalle starting with 'Costo estimado IVA 16%';")"
expect_eq "no error rows written" 0 "$(first_value "select count(*) from errores;")"
expect_eq "sales still outside the book" 0 \
    "$(first_value "select count(*) from facturas where fact_comp_local is not null;")"

case_begin "a second run before completion replaces the pending voucher"
post "$today" 1
expect_eq "ERR" 0 "$ERR"
expect_ne "a new voucher" "$first" "$IDC"
expect_eq "only one pending voucher of that day and point" "$IDC" \
    "$(first_value "select cast(list(comp_id) as varchar(200)) from comprobantes where comp_fecha = '$iso_today' and ptvt_id = 1 and libr_cod = 'L';")"

case_begin "completion enters the voucher and its sales in the book"
voucher=$IDC
complete "$voucher" >/dev/null
expect_eq "state" C "$(first_value "select comp_estado from comprobantes where comp_id = $voucher;")"
expect_eq "sales marked with the voucher" \
    "$(first_value "select count(*) from comprobante_facturas where comp_id = $voucher;")" \
    "$(first_value "select count(*) from facturas where fact_comp_local = $voucher;")"
expect_match "completing twice is refused" "ya está completado" "$(sql_fails "execute procedure \"CONTABILIZA_PENDIENTE\" $voucher;")"
expect_match "a completed voucher cannot be removed" "completado" "$(sql_fails "delete from comprobantes where comp_id = $voucher;")"
expect_match "nor its lines changed" "completado" "$(sql_fails "update comprobante_lineas set coli_debito = coli_debito + 1 where comp_id = $voucher;")"
expect_match "nor its sales" "contabilizada" "$(sql_fails "update facturas set fact_total = 1 where fact_comp_local = $voucher;")"
expect_match "an unknown voucher is refused" "no existe" "$(sql_fails "execute procedure \"CONTABILIZA_PENDIENTE\" 999999;")"

case_begin "posting the same day again finds nothing new"
post "$today" 1
expect_eq "VER/IDC/ERR" "N|0|0" "$VER|$IDC|$ERR"
expect_eq "no voucher added" 1 \
    "$(first_value "select count(*) from comprobantes where comp_fecha = '$iso_today' and ptvt_id = 1 and libr_cod = 'L';")"
expect_eq "no error rows written" 0 "$(first_value "select count(*) from errores;")"

case_begin "the NIIF procedure posts the same sales to the NIIF book"
post "$today" 1 niif
expect_eq "ERR" 0 "$ERR"
expect_eq "book" N "$(first_value "select libr_cod from comprobantes where comp_id = $IDC;")"
expect_eq "accounts of the NIIF chart" 0 \
    "$(first_value "select count(*) from comprobante_lineas where comp_id = $IDC and cuen_cod not like '%0001';")"
IFS='|' read -r debits credits lines <<<"$(voucher_sums "$IDC")"
expect_eq "debits equal credits" "$debits" "$credits"
complete "$IDC" >/dev/null
expect_eq "sales marked in the NIIF book" \
    "$(first_value "select count(*) from facturas where fact_comp_local = $voucher;")" \
    "$(first_value "select count(*) from facturas where fact_comp_niif = $IDC and fact_comp_local = $voucher;")"
post "$today" 1 niif
expect_eq "then nothing new in NIIF" "N|0|0" "$VER|$IDC|$ERR"

case_begin "an empty authorisation client code falls back to configuracion"
expect_match "statement" "'222222222222', 'FV02'" "$(posting_statement "$yesterday" 2)"
post "$yesterday" 2
expect_eq "VER/ERR" "S|0" "$VER|$ERR"
expect_eq "voucher client" 222222222222 "$(first_value "select terc_nit from comprobantes where comp_id = $IDC;")"

case_begin "a sale already entered by another voucher is never entered twice"
post "$yesterday" 3
stale=$IDC
# the pending voucher no longer matches its run, so a new run keeps it
sql "update comprobantes set comp_detalle = 'revisado', pref_pre = 'XX' where comp_id = $stale;" >/dev/null
post "$yesterday" 3
expect_ne "a second pending voucher" "$stale" "$IDC"
complete "$IDC" >/dev/null
expect_match "completing the stale one is refused" "ya están contabilizadas" \
    "$(sql_fails "execute procedure \"CONTABILIZA_PENDIENTE\" $stale;")"
expect_eq "it stays pending" P "$(first_value "select comp_estado from comprobantes where comp_id = $stale;")"
expect_eq "each sale entered once" 0 \
    "$(first_value "select count(*) from facturas where fact_comp_local = $stale;")"

finish
