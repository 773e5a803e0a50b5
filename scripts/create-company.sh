#!/usr/bin/env bash
# Creates the company database of a server entry and a company code, at
# <entry>/datos/<code>/pelmora.fdb, empty or with demo data.
#
#   scripts/create-company.sh [options] ENTRY CODE
#
# ENTRY is a server entry as in SERVIDORES.cfg: a plain directory opens the
# file with the embedded engine; host:dir or host/port:dir goes through a
# Firebird server.
#
# Options:
#   --demo              fill in demo points of sale, interfaces and sales
#   --date-order ORDER  order of day, month and year in the short date
#                       format the program sends (DMY, MDY, YMD...); by
#                       default the one of the current locale (LC_TIME)
#   --user NAME         database user (default $ISC_USER, else SYSDBA)
#   --password TEXT     password (default $ISC_PASSWORD; not needed embedded)
#   --force             replace an existing database
#   -h, --help          show this text
set -euo pipefail

isql=${ISQL:-isql-fb}

usage() { sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'; }
fail() { echo "create-company: $*" >&2; exit 1; }

# The schema lies beside the installed script (share/pelmora/schema) and in
# db/schema of the source tree.
here=$(dirname "$(readlink -f "$0")")
schema=$here/schema
[ -d "$schema" ] || schema=$(cd "$here/.." && pwd)/db/schema
[ -f "$schema/01_configuration_and_error_log.sql" ] || fail "no company schema beside $here"

# The order of D, M and Y in a strftime date format such as "%d/%m/%Y".
date_order_of() {
    local fmt=$1 order="" i c
    fmt=${fmt//%F/%Y-%m-%d}
    fmt=${fmt//%D/%m/%d/%y}
    fmt=${fmt//%x/}
    for ((i = 0; i < ${#fmt} - 1; i++)); do
        [ "${fmt:i:1}" = "%" ] || continue
        c=${fmt:i+1:1}
        # skip the E and O modifiers and glibc's flags
        while [[ $c == [EO_0^#-] ]] && ((i + 2 < ${#fmt})); do
            i=$((i + 1))
            c=${fmt:i+1:1}
        done
        case $c in
            d | e) order+=D ;;
            m) order+=M ;;
            y | Y | C) [[ $order == *Y* ]] || order+=Y ;;
        esac
        i=$((i + 1))
    done
    echo "$order"
}

valid_order() {
    [[ ${#1} -eq 3 && $1 == *D* && $1 == *M* && $1 == *Y* ]]
}

# A text as an SQL string literal.
sql_text() { printf "'%s'" "${1//\'/\'\'}"; }

demo=0 force=0 order="" user=${ISC_USER:-} password=${ISC_PASSWORD:-}
args=()
while [ $# -gt 0 ]; do
    case $1 in
        --demo) demo=1 ;;
        --force) force=1 ;;
        --date-order) order=${2:?--date-order needs a value}; shift ;;
        --date-order=*) order=${1#*=} ;;
        --user) user=${2:?--user needs a value}; shift ;;
        --user=*) user=${1#*=} ;;
        --password) password=${2?--password needs a value}; shift ;;
        --password=*) password=${1#*=} ;;
        -h | --help) usage; exit 0 ;;
        --) shift; args+=("$@"); break ;;
        -*) fail "unknown option $1 (see --help)" ;;
        *) args+=("$1") ;;
    esac
    shift
done
[ ${#args[@]} -eq 2 ] || { usage >&2; exit 2; }
entry=${args[0]%/}
code=${args[1]}

[[ -n $code && $code != */* && $code != .* ]] \
    || fail "the company code must be a plain name, not '$code'"

if [ -z "$order" ]; then
    order=$(date_order_of "$(locale d_fmt 2>/dev/null || echo '%m/%d/%y')")
fi
order=${order^^}
valid_order "$order" || fail "date order '$order' is not an order of D, M and Y"

command -v "$isql" >/dev/null || fail "$isql not found (Debian package firebird3.0-utils)"

server=""
dir=$entry
if [[ $entry =~ ^([^/:]+(/[0-9]+)?):(.+)$ ]]; then
    server=${BASH_REMATCH[1]}
    dir=${BASH_REMATCH[3]}
fi
database=$entry/datos/$code/pelmora.fdb
user=${user:-SYSDBA}
auth=(-user "$user")
[ -n "$password" ] && auth+=(-password "$password")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs an isql script on the database (or on no database, to create it).
run_isql() {
    local script=$1
    shift
    if ! "$isql" -q -b -m -i "$script" "${auth[@]}" "$@" >"$work/isql.out" 2>&1; then
        cat "$work/isql.out" >&2
        return 1
    fi
    if grep -q "Statement failed\|SQLSTATE" "$work/isql.out"; then
        cat "$work/isql.out" >&2
        return 1
    fi
}

exists=0
if [ -z "$server" ]; then
    [ -e "$database" ] && exists=1
    mkdir -p "$(dirname "$database")"
else
    case ${server%%/*} in
        localhost | 127.0.0.1 | "$(hostname)") mkdir -p "$dir/datos/$code" 2>/dev/null || true ;;
    esac
    echo "quit;" >"$work/probe.sql"
    run_isql "$work/probe.sql" "$database" 2>/dev/null && exists=1
fi

if [ $exists -eq 1 ]; then
    [ $force -eq 1 ] || fail "$database already exists (use --force to replace it)"
    echo "drop database;" >"$work/drop.sql"
    if [ -z "$server" ]; then
        rm -f "$database"
    else
        run_isql "$work/drop.sql" "$database" || fail "could not drop $database"
    fi
fi

{
    echo "set sql dialect 3;"
    echo "create database $(sql_text "$database") user $(sql_text "$user")" \
        "${password:+password $(sql_text "$password")}" \
        "page_size 8192 default character set utf8;"
    cat "$schema"/[0-9][0-9]_*.sql
    echo "insert into configuracion (conf_modulo, conf_categoria, conf_propiedad, conf_valor)"
    echo "values ('GENERAL', 'FECHAS', 'ORDEN FECHA CORTA', $(sql_text "$order"));"
    echo "commit;"
    [ $demo -eq 1 ] && cat "$schema/demo/demo_company.sql"
    echo "commit;"
} >"$work/create.sql"

if ! run_isql "$work/create.sql"; then
    [ -z "$server" ] && rm -f "$database"
    fail "could not create $database"
fi
echo "$database"
