-- Sales invoices and their totals per VAT rate. A cash sale is document type
-- 31. fact_comp_local and fact_comp_niif name the completed voucher that
-- entered the invoice in each book; they stay empty until then, and an
-- invoice entered in a book is never taken again for that book.

create generator g_facturas;

create table facturas (
    fact_id          integer       not null,
    tido_cod         smallint      default 31 not null,
    pref_pre         varchar(4)    not null,
    fact_numero      integer       not null,
    fact_fecha       date          not null,
    ptvt_id          integer       not null,
    terc_nit         varchar(20)   not null,
    fact_total       numeric(15,2) not null,
    fact_anulada     d_si_no       not null,
    fact_comp_local  integer,
    fact_comp_niif   integer,
    constraint pk_facturas primary key (fact_id),
    constraint uq_facturas_numero unique (tido_cod, pref_pre, fact_numero),
    constraint fk_facturas_punto foreign key (ptvt_id) references punto_venta (ptvt_id),
    constraint fk_facturas_tercero foreign key (terc_nit) references terceros (terc_nit),
    constraint fk_facturas_comp_local foreign key (fact_comp_local)
        references comprobantes (comp_id),
    constraint fk_facturas_comp_niif foreign key (fact_comp_niif)
        references comprobantes (comp_id)
);

create index ix_facturas_dia on facturas (fact_fecha, pref_pre, ptvt_id);

-- Taxable base and VAT of an invoice at one rate (a rate of 0 for goods
-- exempt or excluded).
create table factura_tarifas (
    fact_id    integer       not null,
    fata_porc  numeric(15,4) not null,
    fata_base  numeric(15,2) not null,
    fata_iva   numeric(15,2) default 0 not null,
    constraint pk_factura_tarifas primary key (fact_id, fata_porc),
    constraint fk_factura_tarifas_factura foreign key (fact_id)
        references facturas (fact_id) on delete cascade,
    constraint ck_factura_tarifas_porc check (fata_porc >= 0)
);

-- Links a voucher to the invoices it takes in, while pending and after.
create table comprobante_facturas (
    comp_id  integer not null,
    fact_id  integer not null,
    constraint pk_comprobante_facturas primary key (comp_id, fact_id),
    constraint fk_comprobante_facturas_comp foreign key (comp_id)
        references comprobantes (comp_id) on delete cascade,
    constraint fk_comprobante_facturas_fact foreign key (fact_id)
        references facturas (fact_id)
);

set term ^ ;

create trigger facturas_bi for facturas
active before insert position 0
as
begin
    if (new.fact_id is null or new.fact_id = 0) then
        new.fact_id = gen_id(g_facturas, 1);
end^

-- That an invoice entered in a book keeps what was entered is the trigger
-- facturas_bud of 14_posting_status_and_reversal.sql, beside the reversal,
-- its one exception.

create trigger factura_tarifas_biud for factura_tarifas
active before insert or update or delete position 0
as
begin
    if (exists(select 1 from facturas
               where fact_id in (iif(deleting, old.fact_id, new.fact_id),
                                 iif(inserting, new.fact_id, old.fact_id))
                 and (fact_comp_local is not null or fact_comp_niif is not null))) then
        exception e_contabilidad 'Los valores de una factura contabilizada no pueden cambiar';
end^

set term ; ^
