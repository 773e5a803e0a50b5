-- Reversing a posted day and telling which days are posted.
--
-- A completed posting voucher of cash sales (type 31) is never changed or
-- removed. Reversing it writes a second, completed voucher of the same day
-- and point with its lines' debits and credits swapped, records the pair in
-- comprobante_reversiones, and takes the sales back out of that book, so
-- that a later posting run enters them again. The original voucher, its
-- lines and its links to the sales stay as they were.
--
-- The file also upgrades a company made before it: run it once with isql.

create table comprobante_reversiones (
    comp_id       integer   not null,
    comp_reverso  integer   not null,
    reve_creado   timestamp default current_timestamp not null,
    constraint pk_comprobante_reversiones primary key (comp_id),
    constraint uq_reversiones_reverso unique (comp_reverso),
    constraint fk_reversiones_original foreign key (comp_id)
        references comprobantes (comp_id),
    constraint fk_reversiones_reverso foreign key (comp_reverso)
        references comprobantes (comp_id),
    constraint ck_reversiones_distintos check (comp_id <> comp_reverso)
);

set term ^ ;

-- A voucher is reversed at most once (the primary key), by a pending voucher
-- of its own book; a completed voucher is the one reversed, and a reversing
-- voucher is never reversed itself. A reversal, once written, stays.
create trigger comprobante_reversiones_bi for comprobante_reversiones
active before insert position 0
as
    declare estado char(1);
    declare libro char(1);
    declare estado_reverso char(1);
    declare libro_reverso char(1);
begin
    if (exists(select 1 from comprobante_reversiones where comp_reverso = new.comp_id)) then
        exception e_contabilidad
            'El comprobante ' || new.comp_id || ' es un reverso y no puede reversarse';
    select comp_estado, libr_cod from comprobantes where comp_id = new.comp_id
        into :estado, :libro;
    select comp_estado, libr_cod from comprobantes where comp_id = new.comp_reverso
        into :estado_reverso, :libro_reverso;
    if (estado is distinct from 'C') then
        exception e_contabilidad
            'El comprobante ' || new.comp_id || ' no está completado y no puede reversarse';
    if (estado_reverso is distinct from 'P' or libro_reverso is distinct from libro) then
        exception e_contabilidad
            'El comprobante ' || new.comp_reverso || ' no puede ser el reverso del ' || new.comp_id;
end^

create trigger comprobante_reversiones_bud for comprobante_reversiones
active before update or delete position 0
as
begin
    exception e_contabilidad
        'La reversión del comprobante ' || old.comp_id || ' no puede cambiar';
end^

-- An invoice entered in a book keeps what was entered, except that the
-- voucher of a book may be cleared once that voucher has been reversed.
create or alter trigger facturas_bud for facturas
active before update or delete position 0
as
begin
    if ((old.fact_comp_local is not null or old.fact_comp_niif is not null)
        and (deleting
             or new.fact_fecha is distinct from old.fact_fecha
             or new.pref_pre is distinct from old.pref_pre
             or new.ptvt_id is distinct from old.ptvt_id
             or new.terc_nit is distinct from old.terc_nit
             or new.fact_total is distinct from old.fact_total
             or new.fact_anulada is distinct from old.fact_anulada
             or (new.fact_comp_local is distinct from coalesce(old.fact_comp_local, new.fact_comp_local)
                 and not (new.fact_comp_local is null
                          and exists(select 1 from comprobante_reversiones r
                                     where r.comp_id = old.fact_comp_local)))
             or (new.fact_comp_niif is distinct from coalesce(old.fact_comp_niif, new.fact_comp_niif)
                 and not (new.fact_comp_niif is null
                          and exists(select 1 from comprobante_reversiones r
                                     where r.comp_id = old.fact_comp_niif))))) then
        exception e_contabilidad
            'La factura ' || old.pref_pre || '-' || old.fact_numero || ' ya está contabilizada';
end^

-- Reverses every completed posting voucher of a day, point of sale and book
-- that is not reversed yet, in voucher order, and returns one row per voucher
-- reversed with the voucher that reverses it. All the reversals are written
-- before the first row is returned. When the day has no posting voucher in
-- the book, or all of them are reversed already, it raises e_contabilidad and
-- writes nothing. Pending vouchers are not postings and are left alone.
create or alter procedure reversar_ventas_contado (fecha date, punto integer, libro char(1))
returns (original integer, reverso integer)
as
    declare dia varchar(100);
    declare ultimo integer;
    declare primero integer;
    declare prefijo varchar(4);
    declare cliente varchar(20);
    declare interfaz integer;
begin
    dia = 'del punto ' || coalesce(punto, '') || ' el ' || coalesce(fecha, '')
          || ' en el libro ' || coalesce(libro, '');

    -- the postings of the day, reversed or not; reversing vouchers are not postings
    select max(c.comp_id) from comprobantes c
        where c.comp_estado = 'C' and c.tido_cod = 31 and c.comp_fecha = :fecha
          and c.ptvt_id = :punto and c.libr_cod = :libro
          and not exists(select 1 from comprobante_reversiones v where v.comp_reverso = c.comp_id)
        into :ultimo;
    if (ultimo is null) then
        exception e_contabilidad 'No hay ventas contabilizadas ' || dia;
    if (not exists(select 1 from comprobantes c
                   where c.comp_estado = 'C' and c.tido_cod = 31 and c.comp_fecha = :fecha
                     and c.ptvt_id = :punto and c.libr_cod = :libro and c.comp_id <= :ultimo
                     and not exists(select 1 from comprobante_reversiones v
                                    where v.comp_reverso = c.comp_id)
                     and not exists(select 1 from comprobante_reversiones r
                                    where r.comp_id = c.comp_id))) then
        exception e_contabilidad 'Las ventas ' || dia || ' ya fueron reversadas';

    -- the vouchers written here get numbers above ultimo, so the loop never
    -- meets them
    for select c.comp_id, c.pref_pre, c.terc_nit, c.inve_id from comprobantes c
        where c.comp_estado = 'C' and c.tido_cod = 31 and c.comp_fecha = :fecha
          and c.ptvt_id = :punto and c.libr_cod = :libro and c.comp_id <= :ultimo
          and not exists(select 1 from comprobante_reversiones v where v.comp_reverso = c.comp_id)
          and not exists(select 1 from comprobante_reversiones r where r.comp_id = c.comp_id)
        order by c.comp_id
        into :original, :prefijo, :cliente, :interfaz
    do
    begin
        insert into comprobantes
            (libr_cod, comp_fecha, tido_cod, pref_pre, ptvt_id, terc_nit, inve_id, comp_detalle)
        values (:libro, :fecha, 31, :prefijo, :punto, :cliente, :interfaz,
                'Reverso del comprobante ' || :original)
        returning comp_id into :reverso;
        primero = coalesce(primero, reverso);

        insert into comprobante_lineas
            (comp_id, libr_cod, coli_item, cuen_cod, coli_debito, coli_credito, terc_nit, coli_detalle)
            select :reverso, libr_cod, coli_item, cuen_cod, coli_credito, coli_debito,
                   terc_nit, coli_detalle
            from comprobante_lineas
            where comp_id = :original
            order by coli_item, coli_id;

        insert into comprobante_reversiones (comp_id, comp_reverso) values (:original, :reverso);

        if (libro = 'N') then
            update facturas set fact_comp_niif = null where fact_comp_niif = :original;
        else
            update facturas set fact_comp_local = null where fact_comp_local = :original;

        execute procedure contabiliza_pendiente reverso;
    end

    for select r.comp_id, r.comp_reverso
        from comprobante_reversiones r
        join comprobantes c on c.comp_id = r.comp_id
        where c.comp_fecha = :fecha and c.ptvt_id = :punto and c.libr_cod = :libro
          and r.comp_reverso >= :primero
        order by r.comp_id
        into :original, :reverso
    do
        suspend;
end^

-- Which cash sales of each day and point of sale are posted, per book: one
-- row per day in [desde, hasta], point and book ('L' and 'N') for every day
-- and point with cash sales (not voided) or a completed posting or reversing
-- voucher, in the order of day, point and book.
--   ventas, total    the day's cash sales of the point and their total
--   contabilizadas   how many of them are entered in the book now
--   comprobantes     the completed posting vouchers of the book not reversed
--   reversados       the posting vouchers of the book that were reversed
-- Voucher lists are ascending and comma-separated, '' when empty.
--
-- A single query reads the range once: the sales of the range found through
-- ix_facturas_dia and grouped by day and point, and the vouchers of the range
-- through ix_comprobantes_origen, both in one list sorted by day, point and
-- voucher, which the loop folds into the two rows of each day and point;
-- a closing row after the last day gives that day's rows.
create or alter procedure estado_ventas_contado (desde date, hasta date)
returns (fecha date, ptvt_id integer, libr_cod char(1), ventas integer,
         total numeric(18,2), contabilizadas integer,
         comprobantes varchar(1000), reversados varchar(1000))
as
    declare dia date;
    declare punto integer;
    declare libro char(1);
    declare n integer;
    declare suma numeric(18,2);
    declare en_local integer;
    declare en_niif integer;
    declare comp integer;
    declare clase char(1);
    declare locales integer;
    declare niifs integer;
    declare vigentes_l varchar(1000);
    declare vigentes_n varchar(1000);
    declare reversados_l varchar(1000);
    declare reversados_n varchar(1000);
    declare lista varchar(1000);
begin
    fecha = null;
    for select dia, punto, libro, ventas, total, en_local, en_niif, comp, clase
        from (
            select f.fact_fecha, f.ptvt_id, cast(null as char(1)),
                   cast(count(*) as integer), cast(sum(f.fact_total) as numeric(18,2)),
                   cast(count(f.fact_comp_local) as integer),
                   cast(count(f.fact_comp_niif) as integer),
                   cast(null as integer), cast(null as char(1))
            from facturas f
            where f.fact_fecha between :desde and :hasta
              and f.tido_cod = 31 and f.fact_anulada = 'N'
            group by f.fact_fecha, f.ptvt_id
            -- only the day's index: nearly every invoice is of type 31, so
            -- uq_facturas_numero would be read whole and filter nothing out
            plan sort (f index (ix_facturas_dia))
            union all
            -- V a posting in the book, R a reversed posting, X a reversing voucher
            select c.comp_fecha, c.ptvt_id, c.libr_cod, 0, 0, 0, 0, c.comp_id,
                   iif(exists(select 1 from comprobante_reversiones x
                              where x.comp_reverso = c.comp_id), 'X',
                       iif(exists(select 1 from comprobante_reversiones r
                                  where r.comp_id = c.comp_id), 'R', 'V'))
            from comprobantes c
            where c.comp_fecha between :desde and :hasta
              and c.tido_cod = 31 and c.comp_estado = 'C'
            union all
            -- a closing row, after every day, so that the last day's rows
            -- are given where every other day's are
            select cast(null as date), cast(null as integer), cast(null as char(1)), 0, 0, 0, 0,
                   cast(null as integer), cast(null as char(1))
            from rdb$database
        ) as t (dia, punto, libro, ventas, total, en_local, en_niif, comp, clase)
        order by dia nulls last, punto, comp nulls first
        into :dia, :punto, :libro, :n, :suma, :en_local, :en_niif, :comp, :clase
    do
    begin
        if (dia is distinct from fecha or punto is distinct from ptvt_id) then
        begin
            if (fecha is not null) then
            begin
                libr_cod = 'L';
                contabilizadas = locales;
                comprobantes = vigentes_l;
                reversados = reversados_l;
                suspend;
                libr_cod = 'N';
                contabilizadas = niifs;
                comprobantes = vigentes_n;
                reversados = reversados_n;
                suspend;
            end
            -- the closing row ends the list
            if (dia is null) then
                leave;
            fecha = dia;
            ptvt_id = punto;
            ventas = 0;
            total = 0;
            locales = 0;
            niifs = 0;
            vigentes_l = '';
            vigentes_n = '';
            reversados_l = '';
            reversados_n = '';
        end

        if (comp is null) then
        begin
            ventas = ventas + n;
            total = total + suma;
            locales = locales + en_local;
            niifs = niifs + en_niif;
        end
        else if (clase <> 'X') then
        begin
            lista = decode(clase || libro, 'VL', vigentes_l, 'VN', vigentes_n,
                           'RL', reversados_l, 'RN', reversados_n);
            -- a list that no longer fits ends in '...'
            if (lista not like '%...') then
            begin
                if (char_length(lista) + 12 + 3 > 1000) then
                    lista = lista || ',...';
                else if (lista = '') then
                    lista = comp;
                else
                    lista = lista || ',' || comp;
            end
            if (clase = 'V' and libro = 'L') then vigentes_l = lista;
            else if (clase = 'V') then vigentes_n = lista;
            else if (libro = 'L') then reversados_l = lista;
            else reversados_n = lista;
        end
    end
end^

set term ; ^
