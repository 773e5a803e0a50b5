-- Demo company: five points of sale with their prefixes, authorisations,
-- charts of accounts, sales interfaces, closing-rate adjustments and cash
-- sales for the last four days and today. Every prefix posts except FV04,
-- whose interface lacks the revenue and VAT accounts of the 16% rate, so its
-- posting fails with listed errors. FV02's authorisation has no client
-- code, so its sales go to the company-wide one of configuracion.

insert into terceros (terc_nit, terc_nombre) values ('1001', 'CLIENTES DE MOSTRADOR');
insert into terceros (terc_nit, terc_nombre) values ('79845123', 'ANDRÉS PEÑA GÓMEZ');
insert into terceros (terc_nit, terc_nombre) values ('52369874', 'MARÍA FERNANDA O''BRIEN');

insert into punto_venta (ptvt_id, bode_cod, ptvt_nom, ptvt_resp, caja_id, ptvt_color, pref_pre, terc_nit, sucu_id)
values (1, '01', 'Almacén Principal Centro', 'Andrés Peña Gómez', 1, 'clGreen', 'FV01', '79845123', 1);
insert into punto_venta (ptvt_id, bode_cod, ptvt_nom, ptvt_resp, caja_id, ptvt_color, pref_pre, terc_nit, sucu_id)
values (2, '02', 'Sucursal Chapinero', 'María Fernanda O''Brien', 2, 'clBlue', 'FV02', '52369874', 2);
insert into punto_venta (ptvt_id, bode_cod, ptvt_nom, ptvt_resp, caja_id, ptvt_color, pref_pre, terc_nit, sucu_id)
values (3, '03', 'Tienda D''Ángelo', 'Andrés Peña Gómez', 3, 'clMaroon', 'FV03', '79845123', 2);
insert into punto_venta (ptvt_id, bode_cod, ptvt_nom, ptvt_resp, caja_id, ptvt_color, pref_pre, terc_nit, sucu_id)
values (4, '04', 'Punto Móvil Feria de las Flores', 'María Fernanda O''Brien', 4, 'clPurple', 'FV04', '52369874', 3);
insert into punto_venta (ptvt_id, bode_cod, ptvt_nom, ptvt_resp, caja_id, ptvt_color, pref_pre, terc_nit, sucu_id)
values (5, '05', 'Cafetería Usaquén', 'Andrés Peña Gómez', 5, 'clOlive', 'CF05', '79845123', 1);

insert into autorizaciones (auto_id, pref_pre, auto_resolucion, auto_fecha, auto_desde, auto_hasta, auto_nitcontado)
values (1, 'FV01', '18764000001234', current_date - 400, 1, 50000, '222222222222');
insert into autorizaciones (auto_id, pref_pre, auto_resolucion, auto_fecha, auto_desde, auto_hasta, auto_nitcontado)
values (2, 'FV02', '18764000001235', current_date - 400, 1, 50000, '');
insert into autorizaciones (auto_id, pref_pre, auto_resolucion, auto_fecha, auto_desde, auto_hasta, auto_nitcontado)
values (3, 'FV03', '18764000001236', current_date - 400, 1, 50000, '1001');
insert into autorizaciones (auto_id, pref_pre, auto_resolucion, auto_fecha, auto_desde, auto_hasta, auto_nitcontado)
values (4, 'FV04', '18764000001237', current_date - 400, 1, 50000, '222222222222');
insert into autorizaciones (auto_id, pref_pre, auto_resolucion, auto_fecha, auto_desde, auto_hasta, auto_nitcontado)
values (5, 'CF05', '18764000001238', current_date - 400, 1, 50000, '222222222222');

-- Charts of accounts: the local book in the Colombian PUC, the NIIF book in
-- its own ten-digit codes.
set term ^ ;
execute block as
    declare libro char(1);
    declare sufijo varchar(4);
begin
    for select 'L', '' from rdb$database union all select 'N', '0001' from rdb$database
        into :libro, :sufijo
    do
    begin
        insert into plan_cuentas values (:libro, '11', 'DISPONIBLE', 'N');
        insert into plan_cuentas values (:libro, '110505' || :sufijo, 'CAJA GENERAL', 'S');
        insert into plan_cuentas values (:libro, '143501' || :sufijo, 'MERCANCÍAS NO FABRICADAS POR LA EMPRESA', 'S');
        insert into plan_cuentas values (:libro, '240801' || :sufijo, 'IVA GENERADO 16%', 'S');
        insert into plan_cuentas values (:libro, '240802' || :sufijo, 'IVA GENERADO 5%', 'S');
        insert into plan_cuentas values (:libro, '4135', 'COMERCIO AL POR MAYOR Y AL POR MENOR', 'N');
        insert into plan_cuentas values (:libro, '413501' || :sufijo, 'VENTAS GRAVADAS 16%', 'S');
        insert into plan_cuentas values (:libro, '413502' || :sufijo, 'VENTAS GRAVADAS 5%', 'S');
        insert into plan_cuentas values (:libro, '413503' || :sufijo, 'VENTAS EXCLUIDAS', 'S');
        insert into plan_cuentas values (:libro, '613501' || :sufijo, 'COSTO DE VENTAS AL POR MENOR', 'S');
    end
end^

-- One cash-sale interface per prefix (and, for FV01, a credit-sale one that
-- the cash posting never picks). FV04's lacks the 16% revenue and VAT.
execute block as
    declare pto integer;
    declare prefijo varchar(4);
    declare nombre varchar(60);
    declare inve integer;
    declare libro char(1);
    declare sufijo varchar(4);
begin
    insert into interfaz_ventas (inve_id, inve_nombre, tido_cod, pref_pre)
    values (0, 'Ventas crédito Centro', 30, 'FV01');
    for select ptvt_id, pref_pre, ptvt_nom from punto_venta order by ptvt_id
        into :pto, :prefijo, :nombre
    do
    begin
        insert into interfaz_ventas (inve_id, inve_nombre, tido_cod, pref_pre)
        values (0, 'Contado ' || :nombre, 31, :prefijo)
        returning inve_id into :inve;
        for select 'L', '' from rdb$database union all select 'N', '0001' from rdb$database
            into :libro, :sufijo
        do
        begin
            insert into interfaz_ventas_cuentas values (:inve, :libro, 'CAJA', 0, '110505' || :sufijo);
            insert into interfaz_ventas_cuentas values (:inve, :libro, 'INGRESO', 0, '413503' || :sufijo);
            insert into interfaz_ventas_cuentas values (:inve, :libro, 'INGRESO', 5, '413502' || :sufijo);
            insert into interfaz_ventas_cuentas values (:inve, :libro, 'IVA', 5, '240802' || :sufijo);
            if (prefijo <> 'FV04') then
            begin
                insert into interfaz_ventas_cuentas values (:inve, :libro, 'INGRESO', 16, '413501' || :sufijo);
                insert into interfaz_ventas_cuentas values (:inve, :libro, 'IVA', 16, '240801' || :sufijo);
            end
            insert into interfaz_ventas_cuentas values (:inve, :libro, 'COSTO', 0, '613501' || :sufijo);
            insert into interfaz_ventas_cuentas values (:inve, :libro, 'COSTO', 5, '613501' || :sufijo);
            insert into interfaz_ventas_cuentas values (:inve, :libro, 'COSTO', 16, '613501' || :sufijo);
            insert into interfaz_ventas_cuentas values (:inve, :libro, 'INVENTARIO', 0, '143501' || :sufijo);
            insert into interfaz_ventas_cuentas values (:inve, :libro, 'INVENTARIO', 5, '143501' || :sufijo);
            insert into interfaz_ventas_cuentas values (:inve, :libro, 'INVENTARIO', 16, '143501' || :sufijo);
        end
    end
end^

-- The three standard closing-rate adjustments for each demo day, written as
-- the program writes them.
execute block as
    declare dia integer = -4;
begin
    while (dia <= 0) do
    begin
        insert into ajuste_cierre values (0, current_date + :dia, current_date + :dia, 0, 0.8);
        insert into ajuste_cierre values (0, current_date + :dia, current_date + :dia, 16, 0.8);
        insert into ajuste_cierre values (0, current_date + :dia, current_date + :dia, 5, 0.8);
        dia = dia + 1;
    end
end^

-- Cash sales: three to five invoices per point and day, each with goods at
-- some of the rates 0%, 5% and 16%, and one voided invoice per point today.
-- Point 1 also sold on credit to a named client, which the cash posting
-- leaves alone.
execute block as
    declare dia integer;
    declare pto integer;
    declare prefijo varchar(4);
    declare cliente varchar(20);
    declare n integer;
    declare k integer;
    declare numero integer;
    declare fact integer;
    declare b0 numeric(15,2);
    declare b5 numeric(15,2);
    declare b16 numeric(15,2);
begin
    for select p.ptvt_id, p.pref_pre,
               coalesce(nullif(a.auto_nitcontado, ''),
                        (select conf_valor from configuracion
                         where conf_modulo = 'FACTURACION' and conf_categoria = 'FACTURAS'
                           and conf_propiedad = 'CODIGO DEL CLIENTE PARA VENTAS DE CONTADO'))
        from punto_venta p left join autorizaciones a on a.pref_pre = p.pref_pre
        order by p.ptvt_id
        into :pto, :prefijo, :cliente
    do
    begin
        numero = 1000;
        dia = -4;
        while (dia <= 0) do
        begin
            n = 3 + mod(pto + dia + 4, 3);
            k = 1;
            while (k <= n) do
            begin
                numero = numero + 1;
                b0 = mod(numero * 37, 50) * 1000 + 500;
                b5 = iif(mod(numero, 2) = 0, mod(numero * 53, 40) * 1000 + 250, 0);
                b16 = mod(numero * 71, 90) * 1000 + 1250.50;
                insert into facturas (fact_id, tido_cod, pref_pre, fact_numero, fact_fecha,
                                      ptvt_id, terc_nit, fact_total)
                values (0, 31, :prefijo, :numero, current_date + :dia, :pto, :cliente,
                        :b0 + :b5 * 1.05 + :b16 * 1.16)
                returning fact_id into :fact;
                insert into factura_tarifas values (:fact, 0, :b0, 0);
                if (b5 > 0) then
                    insert into factura_tarifas values (:fact, 5, :b5, :b5 * 0.05);
                insert into factura_tarifas values (:fact, 16, :b16, round(:b16 * 0.16, 2));
                k = k + 1;
            end
            dia = dia + 1;
        end

        numero = numero + 1;
        insert into facturas (fact_id, tido_cod, pref_pre, fact_numero, fact_fecha,
                              ptvt_id, terc_nit, fact_total, fact_anulada)
        values (0, 31, :prefijo, :numero, current_date, :pto, :cliente, 11600, 'S')
        returning fact_id into :fact;
        insert into factura_tarifas values (:fact, 16, 10000, 1600);
    end

    insert into facturas (fact_id, tido_cod, pref_pre, fact_numero, fact_fecha,
                          ptvt_id, terc_nit, fact_total)
    values (0, 30, 'FV01', 1, current_date, 1, '79845123', 58000)
    returning fact_id into :fact;
    insert into factura_tarifas values (:fact, 16, 50000, 8000);
end^
set term ; ^

commit;
