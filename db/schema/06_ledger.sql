-- The general ledger: vouchers and their lines, one book per voucher.
-- A voucher is born pending ('P'); completing it ('C') enters it in the
-- ledger, after which neither it nor its lines may change.

create generator g_comprobantes;
create generator g_comprobante_lineas;

create exception e_contabilidad 'Operación contable no permitida';

create table comprobantes (
    comp_id           integer     not null,
    libr_cod          d_libro     not null,
    comp_estado       char(1)     default 'P' not null,
    comp_fecha        date        not null,
    tido_cod          smallint    not null,
    pref_pre          varchar(4),
    ptvt_id           integer,
    terc_nit          varchar(20),
    inve_id           integer,
    comp_detalle      varchar(120) default '' not null,
    comp_creado       timestamp   default current_timestamp not null,
    comp_completado   timestamp,
    constraint pk_comprobantes primary key (comp_id),
    constraint uq_comprobantes_libro unique (comp_id, libr_cod),
    constraint ck_comprobantes_estado check (comp_estado in ('P', 'C'))
);

create index ix_comprobantes_origen on comprobantes (comp_fecha, pref_pre, ptvt_id);

create table comprobante_lineas (
    coli_id       integer       not null,
    comp_id       integer       not null,
    libr_cod      d_libro       not null,
    coli_item     smallint      not null,
    cuen_cod      varchar(20)   not null,
    coli_debito   numeric(15,2) default 0 not null,
    coli_credito  numeric(15,2) default 0 not null,
    terc_nit      varchar(20),
    coli_detalle  varchar(120)  default '' not null,
    constraint pk_comprobante_lineas primary key (coli_id),
    constraint fk_lineas_comprobante foreign key (comp_id, libr_cod)
        references comprobantes (comp_id, libr_cod) on delete cascade,
    constraint fk_lineas_cuenta foreign key (libr_cod, cuen_cod)
        references plan_cuentas (libr_cod, cuen_cod),
    constraint fk_lineas_tercero foreign key (terc_nit)
        references terceros (terc_nit),
    -- a line carries a positive amount on exactly one side
    constraint ck_lineas_importe check (
        coli_debito >= 0 and coli_credito >= 0
        and (coli_debito = 0 or coli_credito = 0)
        and coli_debito + coli_credito > 0)
);

set term ^ ;

create trigger comprobantes_bi for comprobantes
active before insert position 0
as
begin
    if (new.comp_id is null or new.comp_id = 0) then
        new.comp_id = gen_id(g_comprobantes, 1);
    if (new.comp_estado <> 'P') then
        exception e_contabilidad 'Un comprobante nace pendiente';
end^

create trigger comprobantes_bud for comprobantes
active before update or delete position 0
as
begin
    if (old.comp_estado = 'C') then
        exception e_contabilidad
            'El comprobante ' || old.comp_id || ' está completado y no puede cambiar';
end^

create trigger comprobante_lineas_bi for comprobante_lineas
active before insert position 0
as
begin
    if (new.coli_id is null or new.coli_id = 0) then
        new.coli_id = gen_id(g_comprobante_lineas, 1);
end^

-- Lines of a completed voucher are frozen. The cascade from deleting a
-- pending voucher passes, since its state is still 'P'.
create trigger comprobante_lineas_biud for comprobante_lineas
active before insert or update or delete position 1
as
    declare estado char(1);
begin
    select comp_estado from comprobantes
        where comp_id = iif(deleting, old.comp_id, new.comp_id)
        into :estado;
    if (estado = 'C' or (updating and old.comp_id <> new.comp_id and exists(
            select 1 from comprobantes
            where comp_id = old.comp_id and comp_estado = 'C'))) then
        exception e_contabilidad 'Las líneas de un comprobante completado no pueden cambiar';
end^

set term ; ^
