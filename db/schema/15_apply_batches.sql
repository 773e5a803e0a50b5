-- The batches of saved changes.
--
-- Each save of the closing-rate adjustments writes one row here, with a
-- batch id of its own, in the same transaction as the changes. When the
-- server stops answering after the commit was sent, the program looks for
-- the batch once the server is back: found, the changes were saved; not
-- found, they were not, and are saved again. Rows older than a week are
-- removed by later saves.
--
-- The file also upgrades a company made before it: run it once with isql.

create table lotes_aplicados (
    lote_id     varchar(32) character set ascii not null,
    lote_fecha  timestamp default current_timestamp not null,
    constraint pk_lotes_aplicados primary key (lote_id)
);

create descending index ix_lotes_aplicados_fecha on lotes_aplicados (lote_fecha);

commit;
