-- Reading the date text the program sends: the user's short date format,
-- whose order of day, month and year the set-up stores in configuracion
-- (module GENERAL, category FECHAS, property ORDEN FECHA CORTA) as a
-- permutation of the letters D, M and Y, such as DMY, MDY or YMD.

set term ^ ;

-- The date in texto read in the order orden, or null when the text is not a
-- date in that order. Accepted: three groups of digits parted by any run of
-- characters other than digits and letters; day and month of one or two
-- digits; a year of four digits, or of two digits taken in the century that
-- puts it nearest to the current year.
create function fecha_corta (texto varchar(8000), orden varchar(200))
returns date
as
    declare s varchar(100);
    declare c varchar(1);
    declare i integer;
    declare grupos integer = 0;
    declare g1 varchar(100) = '';
    declare g2 varchar(100) = '';
    declare g3 varchar(100) = '';
    declare actual varchar(100) = '';
    declare dia varchar(100);
    declare mes varchar(100);
    declare anio varchar(100);
    declare d integer;
    declare m integer;
    declare y integer;
    declare hoy integer;
    declare ultimo integer;
begin
    if (char_length(texto) > 100) then
        return null;
    orden = upper(trim(coalesce(orden, '')));
    if (char_length(orden) <> 3
        or position('D' in orden) = 0 or position('M' in orden) = 0
        or position('Y' in orden) = 0) then
        return null;

    s = trim(coalesce(texto, ''));
    if (s = '') then
        return null;

    -- a blank equals the empty text in a comparison, so the end of the text
    -- is told by position
    i = 1;
    while (i <= char_length(s) + 1) do
    begin
        c = substring(s from i for 1);
        if (i <= char_length(s) and c between '0' and '9') then
            actual = actual || c;
        else
        begin
            if (i <= char_length(s) and upper(c) <> lower(c)) then
                return null;
            if (actual <> '') then
            begin
                grupos = grupos + 1;
                if (grupos = 1) then g1 = actual;
                else if (grupos = 2) then g2 = actual;
                else if (grupos = 3) then g3 = actual;
                else return null;
                actual = '';
            end
            else if (i = 1 or i > char_length(s)) then
                -- the text must begin and end with a digit
                return null;
        end
        i = i + 1;
    end
    if (grupos <> 3) then
        return null;

    dia = decode(position('D' in orden), 1, g1, 2, g2, g3);
    mes = decode(position('M' in orden), 1, g1, 2, g2, g3);
    anio = decode(position('Y' in orden), 1, g1, 2, g2, g3);
    if (char_length(dia) > 2 or char_length(mes) > 2
        or char_length(anio) not in (2, 4)) then
        return null;

    d = cast(dia as integer);
    m = cast(mes as integer);
    y = cast(anio as integer);
    if (char_length(anio) = 2) then
    begin
        hoy = extract(year from current_date);
        y = hoy - mod(hoy, 100) + y;
        if (y > hoy + 50) then
            y = y - 100;
        else if (y <= hoy - 50) then
            y = y + 100;
    end

    if (y < 1 or m < 1 or m > 12 or d < 1) then
        return null;
    ultimo = decode(m, 2, iif(mod(y, 4) = 0 and (mod(y, 100) <> 0 or mod(y, 400) = 0), 29, 28),
                    4, 30, 6, 30, 9, 30, 11, 30, 31);
    if (d > ultimo) then
        return null;
    return cast(lpad(y, 4, '0') || '-' || m || '-' || d as date);
end^

-- A VAT rate as a short text: 16, 2.5, 0.
create function texto_tarifa (porc numeric(15,4))
returns varchar(20)
as
    declare t varchar(20);
begin
    t = cast(porc as varchar(20));
    if (position('.' in t) > 0) then
    begin
        while (t similar to '%0') do
            t = substring(t from 1 for char_length(t) - 1);
        if (t similar to '%[.]') then
            t = substring(t from 1 for char_length(t) - 1);
    end
    return t;
end^

set term ; ^
