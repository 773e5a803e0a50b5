-- Company settings and the error log that posting procedures write to.

create generator g_errores;

create table configuracion (
    conf_modulo     varchar(40)  not null,
    conf_categoria  varchar(40)  not null,
    conf_propiedad  varchar(80)  not null,
    conf_valor      varchar(200) default '' not null,
    constraint pk_configuracion primary key (conf_modulo, conf_categoria, conf_propiedad)
);

-- One row per problem found by a process of the suite. A posting run writes
-- its rows as one contiguous block of erro_item values, all with
-- erro_tipodoc 31 and erro_iddoc 0, and leaves the item just below the block
-- unused; the listing "items from (highest marked item - ERR)" therefore
-- starts at that gap and shows the rows of the latest failing run only.
-- erro_codigo and erro_cadena are short on purpose: they are what the
-- program's error grid shows.
create table errores (
    erro_item     integer     not null,
    erro_tipodoc  smallint    not null,
    erro_iddoc    integer     default 0 not null,
    erro_codigo   varchar(20) not null,
    erro_cadena   varchar(20) default '' not null,
    erro_fecha    timestamp   default current_timestamp not null,
    erro_usuario  varchar(63) default current_user,
    constraint pk_errores primary key (erro_item)
);

create index ix_errores_documento on errores (erro_tipodoc, erro_iddoc, erro_item);

-- Errors of the posting run in progress, numbered in the order found; the
-- run copies them into errores in one block at its end.
create global temporary table errores_corrida (
    orden   integer     not null,
    codigo  varchar(20) not null,
    cadena  varchar(20) not null
) on commit delete rows;

set term ^ ;

create trigger errores_bi for errores
active before insert position 0
as
begin
    if (new.erro_item is null) then
        new.erro_item = gen_id(g_errores, 1);
end^

set term ; ^
