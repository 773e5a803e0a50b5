#!/usr/bin/env bash
# Postings that fail: what they write to errores, that the program's error
# listing shows exactly the rows of the failing run, and that bad input
# stays data.
. "$(dirname "$0")/lib.sh"

new_company errors --demo --date-order DMY
today=$(day 0 %d/%m/%Y)
iso_today=$(day 0 %Y-%m-%d)
interface_name() { first_value "SELECT MAX(INVE_NOMBRE) FROM INTERFAZ_VENTAS WHERE TIDO_COD = 31 AND PREF_PRE = $(quoted "$1");"; }
vouchers() { first_value "select count(*) from comprobantes;"; }

case_begin "the prefix whose interface lacks accounts fails with listed errors"
# older rows: another failing run, and a row some other process logged
post "not a date" 1
expect_eq "earlier run" "E|0|1" "$VER|$IDC|$ERR"
sql "insert into errores (erro_tipodoc, erro_iddoc, erro_codigo, erro_cadena) values (30, 77, 'Otro proceso', 'x');" >/dev/null
post "$today" 4
expect_eq "VER/IDC" "E|0" "$VER|$IDC"
expect_eq "ERR" 2 "$ERR"
name=$(interface_name FV04)
expect_eq "listing" "Falta cuenta|Ingreso 16%|$name
Falta cuenta|IVA 16%|$name" "$(error_listing "$ERR" "$name")"
expect_eq "no voucher left behind" 0 "$(vouchers)"
post "$today" 4 niif
expect_eq "the NIIF book lacks them too" "Falta cuenta|Ingreso 16% NIIF|$name
Falta cuenta|IVA 16% NIIF|$name" "$(error_listing "$ERR" "$name")"

case_begin "a successful run after a failing one leaves the listing alone"
post "$today" 1
expect_eq "ERR" 0 "$ERR"
expect_eq "listing of the last failing run" 2 "$(error_listing 2 "$name" | wc -l)"

case_begin "an unreadable date text is an error row, never a posting"
while IFS= read -r text; do
    before=$(vouchers)
    run_statement "select * from contabil_facturas_contado($(quoted "$text"), '222222222222', 'FV01', 1, 2)"
    expect_eq "[$text] VER/IDC/ERR" "E|0|1" "$VER|$IDC|$ERR"
    expect_eq "[$text] listing" "Fecha ilegible|${text:0:20}|FV01" "$(error_listing "$ERR" FV01)"
    expect_eq "[$text] no voucher" "$before" "$(vouchers)"
done <<EOT
31/02/$(day 0 %Y)
$(day 0 %m/%d/%Y | sed 's|^\(..\)/\(..\)|13/13|')
ayer

$(day 0 %Y-%m-%d)T10:00
$(printf 'x%.0s' {1..300})
EOT

case_begin "a day without sales is an error"
post "$(day 30 %d/%m/%Y)" 1
expect_eq "listing" "Sin ventas del día|$(day 30 %Y-%m-%d)|x" "$(error_listing "$ERR" x)"

case_begin "each rate sold needs one closing-rate factor covering the day"
sql "delete from ajuste_cierre where ajci_fecini = '$iso_today' and ajci_porc = 16;" >/dev/null
post "$today" 5
expect_eq "missing" "E|0|1" "$VER|$IDC|$ERR"
expect_eq "listing" "Sin ajuste de cierre|IVA 16%|x" "$(error_listing "$ERR" x)"
sql "insert into ajuste_cierre values (0, '$iso_today', '$iso_today', 16, 0.7);
     insert into ajuste_cierre values (0, '$iso_today', '$iso_today', 16, 0.8);" >/dev/null
post "$today" 5
expect_eq "two factors for the same start" "Ajuste duplicado|IVA 16%|x" "$(error_listing "$ERR" x)"
sql "delete from ajuste_cierre where ajci_fecini = '$iso_today' and ajci_porc = 16;
     insert into ajuste_cierre values (0, '$iso_today', '$iso_today', 16, -1);" >/dev/null
post "$today" 5
expect_eq "negative factor" "Factor inválido|IVA 16%|x" "$(error_listing "$ERR" x)"
# a range starting earlier, open-ended, covers the day
sql "delete from ajuste_cierre where ajci_fecini = '$iso_today' and ajci_porc = 16;
     insert into ajuste_cierre values (0, '$(day -10 %Y-%m-%d)', null, 16, 0.5);" >/dev/null
post "$today" 5
expect_eq "range" "S|0" "$VER|$ERR"
expect_eq "its factor is used" \
    "$(first_value "select cast(round(sum(t.fata_base) * 0.5, 2) as numeric(15,2)) from factura_tarifas t join comprobante_facturas c on c.fact_id = t.fact_id where c.comp_id = $IDC and t.fata_porc = 16;")" \
    "$(first_value "select coli_debito from comprobante_lineas where comp_id = $IDC and coli_detalle starting with 'Costo estimado IVA 16%';")"

case_begin "accounts of an interface must exist and take postings"
sql "update interfaz_ventas_cuentas set cuen_cod = '4135' where libr_cod = 'L' and invc_concepto = 'INGRESO' and invc_porc = 0 and inve_id = (select max(inve_id) from interfaz_ventas where pref_pre = 'FV01' and tido_cod = 31);
     update interfaz_ventas_cuentas set cuen_cod = '999999' where libr_cod = 'L' and invc_concepto = 'CAJA' and inve_id = (select max(inve_id) from interfaz_ventas where pref_pre = 'FV01' and tido_cod = 31);" >/dev/null
post "$(day -1 %d/%m/%Y)" 1
expect_eq "listing" "Cuenta no existe|999999|x
Cuenta no auxiliar|4135|x" "$(error_listing "$ERR" x)"

case_begin "an invoice whose total is not the sum of its rates is an error"
sql "update facturas set fact_total = fact_total + 1 where fact_id = (select min(fact_id) from facturas where pref_pre = 'FV03' and fact_fecha = '$(day -2 %Y-%m-%d)');" >/dev/null
post "$(day -2 %d/%m/%Y)" 3
expect_eq "ERR" 1 "$ERR"
expect_match "listing" "^Factura descuadrada\|FV03-[0-9]+\|x$" "$(error_listing "$ERR" x)"

case_begin "quotes in names, prefixes and codes are data"
sql "insert into terceros values ('O''Neil', 'CLIENTE O''NEIL');
     insert into punto_venta (ptvt_id, bode_cod, ptvt_nom, pref_pre) values (9, '09', 'Caja de O''Brien', 'D''9');
     insert into autorizaciones (auto_id, pref_pre, auto_nitcontado) values (9, 'D''9', 'O''Neil');
     insert into interfaz_ventas values (0, 'Contado O''Brien', 31, 'D''9');
     insert into interfaz_ventas_cuentas select (select max(inve_id) from interfaz_ventas), libr_cod, invc_concepto, invc_porc, cuen_cod
         from interfaz_ventas_cuentas where inve_id = (select max(inve_id) from interfaz_ventas where pref_pre = 'FV03' and tido_cod = 31);
     insert into facturas (fact_id, pref_pre, fact_numero, fact_fecha, ptvt_id, terc_nit, fact_total) values (900, 'D''9', 1, '$iso_today', 9, 'O''Neil', 116);
     insert into factura_tarifas values (900, 16, 100, 16);" >/dev/null
expect_eq "statement" "select * from contabil_facturas_contado('$today', 'O''Neil', 'D''9', 9, $(first_value "select max(inve_id) from interfaz_ventas;"))" \
    "$(posting_statement "$today" 9)"
post "$today" 9
expect_eq "posted" "S|0" "$VER|$ERR"
expect_eq "voucher of that prefix and client" "D'9|O'Neil" "$(rows "select pref_pre, terc_nit from comprobantes where comp_id = $IDC")"
sql "delete from interfaz_ventas_cuentas where invc_concepto = 'IVA' and inve_id = (select max(inve_id) from interfaz_ventas);" >/dev/null
post "$today" 9
expect_eq "a quoted interface name in the listing" "Falta cuenta|IVA 16%|Contado O'Brien" \
    "$(error_listing "$ERR" "Contado O'Brien")"
sales=$(first_value "select count(*) from facturas;")
run_statement "select * from contabil_facturas_contado('$today', 'x''; delete from facturas; --', 'FV01', 1, 2)"
expect_eq "a hostile client code is only an unknown client" "Cliente no existe|x'; delete from fact|x
Sin ventas del día|$iso_today|x" "$(error_listing "$ERR" x)"
expect_eq "sales untouched" "$sales" "$(first_value "select count(*) from facturas;")"

case_begin "missing inputs are reported together"
run_statement "select * from contabil_facturas_contado('$today', '', 'ZZ', 99, 0)"
expect_eq "listing" "Falta cliente||x
Punto no existe|99|x
Interfaz no válida|0|x
Sin ventas del día|$iso_today|x" "$(error_listing "$ERR" x)"

case_begin "a company without a date order reports it"
sql "delete from configuracion where conf_propiedad = 'ORDEN FECHA CORTA';" >/dev/null
post "$today" 1
expect_eq "listing" "Sin orden de fecha|ORDEN FECHA CORTA|x" "$(error_listing "$ERR" x)"

finish
