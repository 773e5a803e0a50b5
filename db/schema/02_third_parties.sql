-- Third parties: clients, suppliers and the generic final consumer that
-- cash sales are invoiced to.

create table terceros (
    terc_nit     varchar(20)  not null,
    terc_nombre  varchar(100) not null,
    constraint pk_terceros primary key (terc_nit)
);
