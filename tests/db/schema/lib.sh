# Helpers shared by the company database tests: a fresh company made by
# scripts/create-company.sh in a temporary directory, SQL through isql-fb on
# the embedded engine, the posting run's statements composed as the program
# composes them, and checks that count failures instead of stopping.
set -uo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
create_company=$top/scripts/create-company.sh
isql=${ISQL:-isql-fb}
tmp_root=${PELMORA_TEST_TMP:-${TMPDIR:-/tmp}}
mkdir -p "$tmp_root"
work=$(mktemp -d "$tmp_root/schema.XXXXXX")
trap 'rm -rf "$work"' EXIT

failures=0
current_case=""

case_begin() {
    current_case=$1
    echo "[ RUN      ] $current_case"
}

fail() {
    echo "  FAILED in $current_case: $*" >&2
    failures=$((failures + 1))
}

expect_eq() { # description expected actual
    [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"
}

expect_ne() { # description unexpected actual
    [ "$2" != "$3" ] || fail "$1: did not expect [$3]"
}

expect_match() { # description pattern actual
    [[ $3 =~ $2 ]] || fail "$1: [$3] does not match /$2/"
}

finish() {
    if [ $failures -eq 0 ]; then
        echo "All cases passed."
        exit 0
    fi
    echo "$failures check(s) failed." >&2
    exit 1
}

# new_company NAME [create-company options...]: sets db to a new company.
new_company() {
    local name=$1
    shift
    db=$("$create_company" "$@" "$work/$name" 001) || {
        echo "could not create the test company" >&2
        exit 1
    }
}

# sql TEXT: runs statements on $db in one connection and commits; prints the
# rows without headings, one per line, blanks at the ends trimmed.
sql() {
    printf 'set heading off;\n%s\ncommit;\n' "$1" \
        | "$isql" -q -user SYSDBA "$db" 2>&1 \
        | sed -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//' -e '/^$/d'
}

# sql_fails TEXT: runs TEXT and prints the error it failed with; prints
# nothing when it did not fail.
sql_fails() {
    printf '%s\ncommit;\n' "$1" | "$isql" -q -user SYSDBA "$db" 2>&1 >/dev/null \
        | tr '\n' ' '
}

# A text as an SQL string literal: enclosed in single quotes, each single
# quote doubled.
quoted() { printf "'%s'" "${1//\'/\'\'}"; }

# The first column of the first row of a lookup, as the program reads it.
first_value() { sql "$1" | head -n 1 | sed 's/^<null>$//'; }

# posting_statement DATE_TEXT PTVT_ID [niif]: the statement of a posting run,
# composed from the same lookups and pieces the program uses.
posting_statement() {
    local date=$1 point=$2 niif=${3:-} prefix client interface
    prefix=$(first_value "select pref_pre from punto_venta where ptvt_id = $point;")
    client=$(first_value "SELECT AUTO_NITCONTADO FROM AUTORIZACIONES WHERE PREF_PRE = $(quoted "$prefix");")
    if [ -z "$client" ]; then
        client=$(first_value "select conf_valor from configuracion where conf_modulo = 'FACTURACION' and conf_categoria = 'FACTURAS' and conf_propiedad = 'CODIGO DEL CLIENTE PARA VENTAS DE CONTADO';")
    fi
    interface=$(first_value "SELECT MAX(INVE_ID) FROM INTERFAZ_VENTAS WHERE TIDO_COD = 31 AND PREF_PRE = $(quoted "$prefix");")
    local head="select * from contabil_facturas_contado("
    [ -n "$niif" ] && head="select * from contabil_facturas_contado_n("
    printf '%s%s, %s, %s, %s, %s)' "$head" "$(quoted "$date")" "$(quoted "$client")" \
        "$(quoted "$prefix")" "$point" "$interface"
}

# rows TEXT: runs one query and prints each row as its values joined by
# "|", in column order (isql's list mode: one "NAME  value" line per column,
# values from column 33, a blank line after each row).
rows() {
    printf 'set list on;\n%s;\ncommit;\n' "${1%;}" \
        | "$isql" -q -user SYSDBA "$db" 2>&1 \
        | awk '
            /^$/ { if (n) print row; row = ""; n = 0; next }
            {
                v = substr($0, 33); sub(/[ \t]+$/, "", v)
                if (v == "<null>") v = ""
                row = (n++ ? row "|" : "") v
            }
            END { if (n) print row }'
}

# run_statement STATEMENT: runs a posting statement and sets VER, IDC, ERR
# from its first row (all empty when it gave none).
run_statement() {
    local row
    row=$(rows "$1;" | head -n 1)
    IFS='|' read -r VER IDC ERR <<<"$row"
}

# post DATE_TEXT PTVT_ID [niif]
post() { run_statement "$(posting_statement "$@")"; }

# complete IDC: the completion call of a successful run.
complete() { sql "execute procedure \"CONTABILIZA_PENDIENTE\" $1;"; }

# error_listing ERR INTERFACE_NAME: the rows of the program's error listing,
# its query composed as the program composes it.
error_listing() {
    rows "select erro_codigo,erro_cadena,$(quoted "$2") as Interfaz from errores where erro_item >= (select (max(erro_item) -$1) from errores where erro_tipodoc = 31 and erro_iddoc = 0);"
}

# day OFFSET: a date relative to today, in a date(1) format.
day() { date -d "$1 days" "+$2"; }
