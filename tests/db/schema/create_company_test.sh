#!/usr/bin/env bash
# scripts/create-company.sh: where it puts the database, what an empty
# company holds, the date order it writes, and an existing file.
. "$(dirname "$0")/lib.sh"

order_written() { first_value "select conf_valor from configuracion where conf_modulo = 'GENERAL' and conf_categoria = 'FECHAS' and conf_propiedad = 'ORDEN FECHA CORTA';"; }

case_begin "an empty company at <entry>/datos/<code>/pelmora.fdb"
db=$("$create_company" --date-order mdy "$work/empty/" 007)
expect_eq "path" "$work/empty/datos/007/pelmora.fdb" "$db"
expect_eq "date order" MDY "$(order_written)"
expect_eq "cash-sale client code" 222222222222 \
    "$(first_value "select conf_valor from configuracion where conf_modulo = 'FACTURACION' and conf_categoria = 'FACTURAS' and conf_propiedad = 'CODIGO DEL CLIENTE PARA VENTAS DE CONTADO';")"
expect_eq "no points of sale" 0 "$(first_value "select count(*) from punto_venta;")"
expect_eq "UTF8" UTF8 "$(first_value "select trim(rdb\$character_set_name) from rdb\$database;")"
expect_eq "dialect 3" 3 "$(first_value "select mon\$sql_dialect from mon\$database;")"

case_begin "an existing database is kept unless --force"
sql "insert into terceros values ('1', 'marca');" >/dev/null
out=$("$create_company" "$work/empty" 007 2>&1)
expect_ne "refused" 0 "$?"
expect_match "message" "already exists" "$out"
expect_eq "untouched" 1 "$(first_value "select count(*) from terceros where terc_nit = '1';")"
"$create_company" --force --demo --date-order YMD "$work/empty" 007 >/dev/null
expect_eq "replaced" 0 "$(first_value "select count(*) from terceros where terc_nit = '1';")"
expect_eq "with demo data" 5 "$(first_value "select count(*) from punto_venta;")"

case_begin "the date order follows the locale's short date format"
# a locale(1) that answers with the format of the case
mkdir -p "$work/fake-bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$FAKE_D_FMT"\n' >"$work/fake-bin/locale"
chmod +x "$work/fake-bin/locale"
n=0
while IFS='|' read -r fmt want; do
    n=$((n + 1))
    db=$(PATH="$work/fake-bin:$PATH" FAKE_D_FMT=$fmt "$create_company" "$work/locale-$n" 001)
    expect_eq "[$fmt]" "$want" "$(order_written)"
done <<'EOT'
%m/%d/%y|MDY
%d/%m/%Y|DMY
%d.%m.%Y|DMY
%Y-%m-%d|YMD
%F|YMD
%D|MDY
%Y年%m月%d日|YMD
%e/%m/%y|DMY
EOT

case_begin "bad arguments are refused"
out=$("$create_company" --date-order DDY "$work/bad" 001 2>&1)
expect_match "order" "not an order" "$out"
out=$("$create_company" "$work/bad" ../x 2>&1)
expect_match "code" "plain name" "$out"
expect_eq "nothing created" "" "$(ls "$work/bad" 2>/dev/null)"

finish
