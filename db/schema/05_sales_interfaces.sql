-- Sales interfaces: which accounts of each book a kind of document of a
-- prefix posts to. tido_cod 31 is the cash-sale invoice.
--
-- Concepts of an interface account, per book:
--   CAJA        cash received (invc_porc 0, one per book)
--   INGRESO     sales revenue of the tax rate invc_porc
--   IVA         VAT charged at the rate invc_porc
--   COSTO       cost of sales of the goods sold at the rate invc_porc
--   INVENTARIO  inventory those goods leave

create generator g_interfaz_ventas;

create table interfaz_ventas (
    inve_id      integer     not null,
    inve_nombre  varchar(60) not null,
    tido_cod     smallint    not null,
    pref_pre     varchar(4)  not null,
    constraint pk_interfaz_ventas primary key (inve_id)
);

create index ix_interfaz_ventas_prefijo on interfaz_ventas (tido_cod, pref_pre);

create table interfaz_ventas_cuentas (
    inve_id        integer       not null,
    libr_cod       d_libro       not null,
    invc_concepto  varchar(12)   not null,
    invc_porc      numeric(15,4) default 0 not null,
    cuen_cod       varchar(20),
    constraint pk_interfaz_ventas_cuentas
        primary key (inve_id, libr_cod, invc_concepto, invc_porc),
    constraint fk_interfaz_cuentas_interfaz foreign key (inve_id)
        references interfaz_ventas (inve_id) on delete cascade,
    constraint ck_interfaz_cuentas_concepto check (
        invc_concepto in ('CAJA', 'INGRESO', 'IVA', 'COSTO', 'INVENTARIO')
        and (invc_concepto <> 'CAJA' or invc_porc = 0))
);

set term ^ ;

create trigger interfaz_ventas_bi for interfaz_ventas
active before insert position 0
as
begin
    if (new.inve_id is null or new.inve_id = 0) then
        new.inve_id = gen_id(g_interfaz_ventas, 1);
end^

set term ; ^
