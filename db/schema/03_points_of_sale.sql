-- Points of sale and the invoicing authorisation of each document prefix.

create table punto_venta (
    ptvt_id     integer     not null,
    bode_cod    varchar(2)  not null,
    ptvt_nom    varchar(60) not null,
    ptvt_resp   varchar(60),
    caja_id     integer,
    ptvt_color  varchar(8),
    pref_pre    varchar(4),
    terc_nit    varchar(20),
    sucu_id     integer,
    constraint pk_punto_venta primary key (ptvt_id)
);

-- One authorisation per prefix. auto_nitcontado is the client code the
-- prefix's cash sales are invoiced to; when it is empty the company-wide code
-- of configuracion applies.
create table autorizaciones (
    auto_id          integer     not null,
    pref_pre         varchar(4)  not null,
    auto_resolucion  varchar(30) default '' not null,
    auto_fecha       date,
    auto_desde       integer,
    auto_hasta       integer,
    auto_nitcontado  varchar(20) default '' not null,
    constraint pk_autorizaciones primary key (auto_id),
    constraint uq_autorizaciones_prefijo unique (pref_pre)
);
