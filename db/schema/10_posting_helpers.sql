-- Small steps shared by the posting procedures.

set term ^ ;

-- Notes one problem of the posting run in progress. Texts are cut to what
-- the error log holds.
create procedure anotar_error_corrida (codigo varchar(200), cadena varchar(8000))
as
begin
    insert into errores_corrida (orden, codigo, cadena)
    values ((select coalesce(max(orden), 0) + 1 from errores_corrida),
            substring(coalesce(:codigo, '') from 1 for 20),
            substring(coalesce(:cadena, '') from 1 for 20));
end^

-- Moves the problems of the run in progress into errores as one block of
-- consecutive items, marked as cash-sale posting (tipodoc 31, iddoc 0), with
-- one unused item reserved just below the block. Returns their number.
create procedure publicar_errores_corrida
returns (cantidad integer)
as
    declare ultimo bigint;
begin
    select count(*) from errores_corrida into :cantidad;
    if (cantidad > 0) then
    begin
        ultimo = gen_id(g_errores, cantidad + 1);
        insert into errores (erro_item, erro_tipodoc, erro_iddoc, erro_codigo, erro_cadena)
            select :ultimo - :cantidad + orden, 31, 0, codigo, cadena
            from errores_corrida;
        delete from errores_corrida;
    end
end^

-- The account an interface gives a concept in a book, when it is one that
-- takes postings; otherwise notes why not and returns null.
create procedure cuenta_de_interfaz (
    inve_id integer, libro char(1), concepto varchar(12), porc numeric(15,4))
returns (cuenta varchar(20))
as
    declare auxiliar char(1);
    declare nombre varchar(40);
begin
    nombre = decode(concepto, 'CAJA', 'Caja', 'INGRESO', 'Ingreso', 'IVA', 'IVA',
                    'COSTO', 'Costo', 'INVENTARIO', 'Inventario', concepto)
             || iif(concepto = 'CAJA', '', ' ' || texto_tarifa(porc) || '%')
             || iif(libro = 'N', ' NIIF', '');
    cuenta = null;
    select trim(cuen_cod) from interfaz_ventas_cuentas c
        where c.inve_id = :inve_id and c.libr_cod = :libro
          and c.invc_concepto = :concepto and c.invc_porc = :porc
        into :cuenta;
    if (coalesce(cuenta, '') = '') then
    begin
        execute procedure anotar_error_corrida('Falta cuenta', nombre);
        cuenta = null;
        exit;
    end
    auxiliar = null;
    select cuen_auxiliar from plan_cuentas p
        where p.libr_cod = :libro and p.cuen_cod = :cuenta
        into :auxiliar;
    if (auxiliar is null) then
    begin
        execute procedure anotar_error_corrida('Cuenta no existe', cuenta);
        cuenta = null;
    end
    else if (auxiliar <> 'S') then
    begin
        execute procedure anotar_error_corrida('Cuenta no auxiliar', cuenta);
        cuenta = null;
    end
end^

-- Adds a line to a pending voucher: a positive amount is a debit, a negative
-- one a credit. A zero amount adds nothing, and neither does a missing
-- account, which the run has already noted as an error.
create procedure agregar_linea_comprobante (
    comp_id integer, libro char(1), cuenta varchar(20), importe numeric(15,2),
    tercero varchar(20), detalle varchar(120))
as
begin
    if (importe <> 0 and cuenta is not null) then
        insert into comprobante_lineas
            (comp_id, libr_cod, coli_item, cuen_cod, coli_debito, coli_credito, terc_nit, coli_detalle)
        values (:comp_id, :libro,
                (select coalesce(max(coli_item), 0) + 1 from comprobante_lineas l
                 where l.comp_id = :comp_id),
                :cuenta, iif(:importe > 0, :importe, 0), iif(:importe < 0, -:importe, 0),
                :tercero, :detalle);
end^

set term ; ^
