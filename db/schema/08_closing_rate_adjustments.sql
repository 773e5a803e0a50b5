-- Closing-rate adjustments: for the days from ajci_fecini to ajci_fecfin (no
-- end date: until further notice), the cost of the goods sold at the VAT rate
-- ajci_porc is estimated as ajci_factor times their taxable base. The cash
-- sales posting enters that estimate as cost of sales against inventory; a
-- rate sold on a day without an adjustment covering it cannot be posted.
--
-- The program inserts new rows with ajci_id 0, several in one transaction,
-- and later finds rows again by comparing every column with the values it
-- holds, without reading the table back. A row therefore keeps the ajci_id it
-- was written with: there is no unique key on it, and only a row written
-- without one gets a number of its own.

create generator g_ajuste_cierre;

create table ajuste_cierre (
    ajci_id      integer       not null,
    ajci_fecini  date,
    ajci_fecfin  date,
    ajci_porc    numeric(15,4),
    ajci_factor  numeric(15,4)
);

create index ix_ajuste_cierre_tarifa on ajuste_cierre (ajci_porc, ajci_fecini);

set term ^ ;

create trigger ajuste_cierre_bi for ajuste_cierre
active before insert position 0
as
begin
    if (new.ajci_id is null) then
        new.ajci_id = gen_id(g_ajuste_cierre, 1);
end^

set term ; ^
