-- Posting the day's cash sales of one point of sale.
--
-- contabil_facturas_contado posts to the local book, contabil_facturas_contado_n
-- to the NIIF book; both take the date as text in the short date format whose
-- order configuracion names, the cash-sale client code, the prefix, the point
-- of sale and the sales interface, and return one row:
--   VER  'S' a pending voucher was built, 'N' nothing new to post, 'E' errors
--   IDC  the pending voucher, 0 when none was built
--   ERR  the number of rows written to errores, 0 on success
--
-- The sales taken are the cash invoices (type 31, not voided) of that day,
-- prefix, point and client not yet entered in the book. Their voucher debits
-- cash with what was received and credits, per VAT rate, the revenue with the
-- taxable base and the VAT payable with the tax. The closing-rate adjustment
-- (AJUSTE_CIERRE) that covers the day for each rate gives the factor that,
-- times the rate's base, estimates the cost of the goods sold: the voucher
-- debits cost of sales and credits inventory with that amount. A rate sold
-- on the day without an adjustment, or with adjustments of different factors
-- starting on the same latest day, is an error, like a missing or unusable
-- account, an unreadable date or an invoice whose total is not the sum of
-- its rates. Errors leave no voucher behind.
--
-- A pending voucher waits for CONTABILIZA_PENDIENTE. Posting the same day,
-- prefix, point and client again in the same book first removes the pending
-- voucher of the earlier run, so there is never more than one.
--
-- Everything happens before the single row is returned, so a caller that
-- reads that row has the whole run; the run never raises an error of its own.

set term ^ ;

create procedure contabilizar_ventas_contado (
    fecha_texto  varchar(8000),
    cliente      varchar(1000),
    prefijo      varchar(1000),
    punto        integer,
    interfaz     integer,
    libro        char(1))
returns (ver char(1), idc integer, err integer)
as
    declare orden varchar(200);
    declare fecha date;
    declare ventas integer;
    declare porc numeric(15,4);
    declare base numeric(15,2);
    declare iva numeric(15,2);
    declare costo numeric(15,2);
    declare total numeric(15,2);
    declare factor numeric(15,4);
    declare factores integer;
    declare sin_factor integer;
    declare desde date;
    declare cuenta varchar(20);
    declare contra varchar(20);
    declare debitos numeric(18,2);
    declare creditos numeric(18,2);
    declare detalle varchar(120);
    declare tarifa varchar(30);
begin
    delete from errores_corrida;
    idc = 0;
    err = 0;
    -- trailing blanks never tell two codes apart in a comparison
    cliente = trim(trailing from coalesce(cliente, ''));
    prefijo = trim(trailing from coalesce(prefijo, ''));

    -- the inputs
    orden = null;
    select trim(conf_valor) from configuracion
        where conf_modulo = 'GENERAL' and conf_categoria = 'FECHAS'
          and conf_propiedad = 'ORDEN FECHA CORTA'
        into :orden;
    if (orden is null) then
        execute procedure anotar_error_corrida('Sin orden de fecha', 'ORDEN FECHA CORTA');
    else if (fecha_corta('1/2/2000', orden) is null) then
        -- not an order of D, M and Y: it reads no date at all
        execute procedure anotar_error_corrida('Orden fecha inválido', orden);
    else
    begin
        fecha = fecha_corta(fecha_texto, orden);
        if (fecha is null) then
            execute procedure anotar_error_corrida('Fecha ilegible', fecha_texto);
    end
    if (trim(cliente) = '') then
        execute procedure anotar_error_corrida('Falta cliente', '');
    else if (not exists(select 1 from terceros where terc_nit = :cliente)) then
        execute procedure anotar_error_corrida('Cliente no existe', cliente);
    if (not exists(select 1 from punto_venta where ptvt_id = :punto)) then
        execute procedure anotar_error_corrida('Punto no existe', coalesce(cast(punto as varchar(12)), ''));
    if (not exists(select 1 from interfaz_ventas v
                   where v.inve_id = :interfaz and v.tido_cod = 31
                     and v.pref_pre = :prefijo)) then
        execute procedure anotar_error_corrida('Interfaz no válida', coalesce(cast(interfaz as varchar(12)), ''));

    if (fecha is not null) then
    begin
        -- a new run replaces the pending voucher of an earlier one
        delete from comprobantes
            where comp_estado = 'P' and libr_cod = :libro and tido_cod = 31
              and comp_fecha = :fecha and pref_pre = :prefijo
              and ptvt_id = :punto and terc_nit = :cliente;

        select count(*) from facturas
            where fact_fecha = :fecha and pref_pre = :prefijo and ptvt_id = :punto
              and terc_nit = :cliente and tido_cod = 31 and fact_anulada = 'N'
            into :ventas;
        if (ventas = 0) then
            execute procedure anotar_error_corrida('Sin ventas del día', fecha);
    end

    if (not exists(select 1 from errores_corrida)) then
    begin
        detalle = 'Ventas de contado ' || prefijo || ' ' || fecha;
        insert into comprobantes
            (libr_cod, comp_fecha, tido_cod, pref_pre, ptvt_id, terc_nit, inve_id, comp_detalle)
        values (:libro, :fecha, 31, :prefijo, :punto, :cliente, :interfaz, :detalle)
        returning comp_id into :idc;

        insert into comprobante_facturas (comp_id, fact_id)
            select :idc, fact_id from facturas
            where fact_fecha = :fecha and pref_pre = :prefijo and ptvt_id = :punto
              and terc_nit = :cliente and tido_cod = 31 and fact_anulada = 'N'
              and iif(:libro = 'N', fact_comp_niif, fact_comp_local) is null;
        if (row_count = 0) then
        begin
            -- every sale of the day is already in the book
            delete from comprobantes where comp_id = :idc;
            ver = 'N';
            idc = 0;
            suspend;
            exit;
        end

        for select f.pref_pre || '-' || f.fact_numero
            from facturas f
            join comprobante_facturas cf on cf.fact_id = f.fact_id
            where cf.comp_id = :idc
              and f.fact_total <> coalesce((select sum(t.fata_base + t.fata_iva)
                                            from factura_tarifas t
                                            where t.fact_id = f.fact_id), 0)
            order by f.fact_numero
            into :detalle
        do
            execute procedure anotar_error_corrida('Factura descuadrada', detalle);

        select sum(t.fata_base + t.fata_iva)
            from comprobante_facturas cf
            join factura_tarifas t on t.fact_id = cf.fact_id
            where cf.comp_id = :idc
            into :total;
        execute procedure cuenta_de_interfaz(interfaz, libro, 'CAJA', 0)
            returning_values :cuenta;
        execute procedure agregar_linea_comprobante(idc, libro, cuenta, coalesce(total, 0),
            cliente, 'Recaudo ventas de contado ' || prefijo || ' ' || fecha);

        for select t.fata_porc, sum(t.fata_base), sum(t.fata_iva)
            from comprobante_facturas cf
            join factura_tarifas t on t.fact_id = cf.fact_id
            where cf.comp_id = :idc
            group by t.fata_porc
            order by t.fata_porc
            into :porc, :base, :iva
        do
        begin
            tarifa = 'IVA ' || texto_tarifa(porc) || '%';

            if (base <> 0) then
            begin
                execute procedure cuenta_de_interfaz(interfaz, libro, 'INGRESO', porc)
                    returning_values :cuenta;
                execute procedure agregar_linea_comprobante(idc, libro, cuenta, -base,
                    cliente, 'Ventas ' || tarifa || ' ' || prefijo || ' ' || fecha);
            end
            if (iva <> 0) then
            begin
                execute procedure cuenta_de_interfaz(interfaz, libro, 'IVA', porc)
                    returning_values :cuenta;
                execute procedure agregar_linea_comprobante(idc, libro, cuenta, -iva,
                    cliente, tarifa || ' generado ' || prefijo || ' ' || fecha);
            end

            -- the adjustment starting last among those covering the day
            desde = null;
            select max(ajci_fecini) from ajuste_cierre
                where ajci_porc = :porc and ajci_fecini <= :fecha
                  and (ajci_fecfin >= :fecha or ajci_fecfin is null)
                into :desde;
            select count(distinct ajci_factor), min(ajci_factor),
                   count(*) - count(ajci_factor)
                from ajuste_cierre
                where ajci_porc = :porc and ajci_fecini = :desde
                  and (ajci_fecfin >= :fecha or ajci_fecfin is null)
                into :factores, :factor, :sin_factor;
            if (desde is null) then
                execute procedure anotar_error_corrida('Sin ajuste de cierre', tarifa);
            else if (sin_factor > 0 or factor < 0) then
                execute procedure anotar_error_corrida('Factor inválido', tarifa);
            else if (factores > 1) then
                execute procedure anotar_error_corrida('Ajuste duplicado', tarifa);
            else
            begin
                costo = round(base * factor, 2);
                if (costo <> 0) then
                begin
                    execute procedure cuenta_de_interfaz(interfaz, libro, 'COSTO', porc)
                        returning_values :cuenta;
                    execute procedure cuenta_de_interfaz(interfaz, libro, 'INVENTARIO', porc)
                        returning_values :contra;
                    detalle = 'Costo estimado ' || tarifa || ' ' || prefijo || ' ' || fecha;
                    execute procedure agregar_linea_comprobante(idc, libro, cuenta, costo,
                        cliente, detalle);
                    execute procedure agregar_linea_comprobante(idc, libro, contra, -costo,
                        cliente, detalle);
                end
            end
        end

        select coalesce(sum(coli_debito), 0), coalesce(sum(coli_credito), 0)
            from comprobante_lineas where comp_id = :idc
            into :debitos, :creditos;
        if (not exists(select 1 from errores_corrida)) then
        begin
            if (debitos = 0) then
                execute procedure anotar_error_corrida('Sin valores', fecha);
            else if (debitos <> creditos) then
                execute procedure anotar_error_corrida('Descuadre', debitos - creditos);
        end
        if (exists(select 1 from errores_corrida)) then
        begin
            delete from comprobantes where comp_id = :idc;
            idc = 0;
        end
    end

    execute procedure publicar_errores_corrida returning_values :err;
    ver = iif(err > 0, 'E', 'S');
    suspend;
end^

create procedure contabil_facturas_contado (
    fecha     varchar(8000),
    cliente   varchar(1000),
    prefijo   varchar(1000),
    punto     integer,
    interfaz  integer)
returns (ver char(1), idc integer, err integer)
as
begin
    select ver, idc, err
        from contabilizar_ventas_contado(:fecha, :cliente, :prefijo, :punto, :interfaz, 'L')
        into :ver, :idc, :err;
    suspend;
end^

create procedure contabil_facturas_contado_n (
    fecha     varchar(8000),
    cliente   varchar(1000),
    prefijo   varchar(1000),
    punto     integer,
    interfaz  integer)
returns (ver char(1), idc integer, err integer)
as
begin
    select ver, idc, err
        from contabilizar_ventas_contado(:fecha, :cliente, :prefijo, :punto, :interfaz, 'N')
        into :ver, :idc, :err;
    suspend;
end^

set term ; ^
