-- What every company starts with: the final consumer, who cash sales are
-- invoiced to unless a prefix's authorisation names another client, and the
-- company-wide cash-sale client code. The set-up adds the order of the short
-- date format (GENERAL / FECHAS / ORDEN FECHA CORTA).

insert into terceros (terc_nit, terc_nombre)
values ('222222222222', 'CONSUMIDOR FINAL');

insert into configuracion (conf_modulo, conf_categoria, conf_propiedad, conf_valor)
values ('FACTURACION', 'FACTURAS', 'CODIGO DEL CLIENTE PARA VENTAS DE CONTADO', '222222222222');

commit;
