-- Chart of accounts of each book: 'L' the local book, 'N' the NIIF book.
-- Only auxiliary accounts (cuen_auxiliar 'S') take postings.

create domain d_libro as char(1) check (value in ('L', 'N'));
create domain d_si_no as char(1) default 'N' check (value in ('S', 'N'));

create table plan_cuentas (
    libr_cod       d_libro      not null,
    cuen_cod       varchar(20)  not null,
    cuen_nombre    varchar(100) not null,
    cuen_auxiliar  d_si_no      not null,
    constraint pk_plan_cuentas primary key (libr_cod, cuen_cod)
);
