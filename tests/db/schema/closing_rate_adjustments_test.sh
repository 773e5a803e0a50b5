#!/usr/bin/env bash
# AJUSTE_CIERRE under the statements the program generates when it applies
# the closing-rate editor: inserts with AJCI_ID 0, several per transaction,
# and deletes that find a row by all of its values as the program holds them.
. "$(dirname "$0")/lib.sh"

new_company adjustments --date-order YMD
d=$(day 0 %Y-%m-%d)

insert_row() { # PORC
    printf 'insert into "AJUSTE_CIERRE"\n  ("AJCI_ID", "AJCI_FECINI", "AJCI_FECFIN", "AJCI_PORC", "AJCI_FACTOR")\nvalues\n  (0, %s, %s, %s, 0.8);\n' "'$d'" "'$d'" "$1"
}
delete_row() { # ID PORC
    printf 'delete from "AJUSTE_CIERRE" \nwhere\n "AJCI_ID" = %s and\n "AJCI_FECINI" = %s and\n "AJCI_FECFIN" = %s and\n "AJCI_PORC" = %s and\n "AJCI_FACTOR" = 0.8;\n' "$1" "'$d'" "'$d'" "$2"
}
affected() { sql "set count on; $1" | grep -o 'Records affected: [0-9]*' | sed 's/.*: //' | tr '\n' ' '; }

case_begin "three new rows with AJCI_ID 0 in one transaction are accepted"
expect_eq "rows affected" "1 1 1 " "$(affected "$(insert_row 5)$(insert_row 16)$(insert_row 0)")"
expect_eq "stored" "0|0.0000 0|5.0000 0|16.0000" \
    "$(rows "select ajci_id, ajci_porc from ajuste_cierre where ajci_fecini = '$d' order by ajci_porc" | tr '\n' ' ' | sed 's/ $//')"

case_begin "rows applied earlier are found again by the values the program holds"
# F5, F2, F5: the editor resets the day's rows without reading the table
expect_eq "rows affected" "1 1 1 1 1 1 " \
    "$(affected "$(delete_row 0 5)$(delete_row 0 16)$(delete_row 0 0)$(insert_row 5)$(insert_row 16)$(insert_row 0)")"
expect_eq "the day holds the three standard rows" 3 \
    "$(first_value "select count(*) from ajuste_cierre where ajci_fecini = '$d';")"

case_begin "a row written without an identifier gets one of its own"
sql "insert into ajuste_cierre (ajci_fecini, ajci_fecfin, ajci_porc, ajci_factor) values ('$d', '$d', 19, 0.75);" >/dev/null
expect_match "identifier" '^[1-9][0-9]*$' "$(first_value "select ajci_id from ajuste_cierre where ajci_porc = 19;")"

finish
