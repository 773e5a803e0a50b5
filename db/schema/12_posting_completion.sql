-- Completing a pending voucher enters it in its book: it must still be
-- pending and balance, and each of its sales must still be outside that
-- book. The sales are then marked with the voucher, so no later run takes
-- them again. Anything else fails the whole completion.

set term ^ ;

create procedure contabiliza_pendiente (idcnt integer)
as
    declare estado char(1);
    declare libro char(1);
    declare debitos numeric(18,2);
    declare creditos numeric(18,2);
    declare facturas_voucher integer;
    declare factura integer;
    declare marcadas integer = 0;
begin
    select comp_estado, libr_cod from comprobantes
        where comp_id = :idcnt
        with lock
        into :estado, :libro;
    if (estado is null) then
        exception e_contabilidad 'El comprobante ' || coalesce(idcnt, '') || ' no existe';
    if (estado <> 'P') then
        exception e_contabilidad 'El comprobante ' || idcnt || ' ya está completado';

    select coalesce(sum(coli_debito), 0), coalesce(sum(coli_credito), 0)
        from comprobante_lineas where comp_id = :idcnt
        into :debitos, :creditos;
    if (debitos = 0 or debitos <> creditos) then
        exception e_contabilidad 'El comprobante ' || idcnt || ' no está cuadrado';

    select count(*) from comprobante_facturas where comp_id = :idcnt
        into :facturas_voucher;
    -- One sale at a time by its key: an update of facturas filtered by a
    -- subquery would read the whole table for each voucher.
    for select fact_id from comprobante_facturas where comp_id = :idcnt
        into :factura
    do
    begin
        if (libro = 'N') then
            update facturas set fact_comp_niif = :idcnt
                where fact_id = :factura and fact_comp_niif is null;
        else
            update facturas set fact_comp_local = :idcnt
                where fact_id = :factura and fact_comp_local is null;
        marcadas = marcadas + row_count;
    end
    if (marcadas <> facturas_voucher) then
        exception e_contabilidad
            'Ventas del comprobante ' || idcnt || ' ya están contabilizadas en otro';

    update comprobantes
        set comp_estado = 'C', comp_completado = current_timestamp
        where comp_id = :idcnt;
end^

set term ; ^
