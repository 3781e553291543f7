#!/bin/bash
# The admin tool answers bad input with a message on stderr and a non-zero exit, never a crash.
set -u
admin=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
failures=0
expect_failure() {
    local what=$1
    shift
    "$admin" "$@" >/dev/null 2>"$folder/err"
    local code=$?
    if [ "$code" -ne 1 ] || ! grep -q "olvendra-admin: " "$folder/err"; then
        echo "FAIL: $what (exit $code): $(cat "$folder/err")"
        failures=$((failures + 1))
    fi
}
expect_failure "no command"
expect_failure "unknown command" frobnicate
expect_failure "missing arguments" --db "$folder/a.bd" add-user ONLY
expect_failure "missing database" --db "$folder/none.bd" add-specialty X
"$admin" init-db "$folder/a.bd" || { echo "FAIL: init-db"; exit 1; }
expect_failure "existing database" init-db "$folder/a.bd"
expect_failure "name too long" --db "$folder/a.bd" add-user ABCDEFGHIJKLMNOP 1 x
"$admin" --db "$folder/a.bd" add-user MARIA 1234 "$("$admin" access-for MARIA)" || { echo "FAIL: add-user"; exit 1; }
expect_failure "duplicate user" --db "$folder/a.bd" add-user maria 1 x
[ "$("$admin" codifica abc)" = "BLBDAL" ] || { echo "FAIL: codifica"; failures=$((failures + 1)); }
expect_failure "unrepresentable text" codifica "$(printf '\xe2\x82\xbf')"
expect_failure "month out of range" --db "$folder/a.bd" aniversariantes --mes 13
expect_failure "month not a number" --db "$folder/a.bd" aniversariantes --mes 3x
expect_failure "upgrade of a missing database" --db "$folder/none.bd" upgrade-db
expect_failure "import of a missing file" --db "$folder/a.bd" import-csv "$folder/none.csv"
printf 'CRM;Conselho;UF;Especialidade;Nome do Profissional\r\n1;CRM;SP;Pediatria;Ana\r\n;CRM;SP;Pediatria;Bia\r\n' >"$folder/p.csv"
expect_failure "import with a refused row" --db "$folder/a.bd" import-csv "$folder/p.csv"
grep -q '^linha 3, coluna CRM: campo "Nº Registro" não foi preenchido$' "$folder/err" ||
    { echo "FAIL: refused row not named: $(cat "$folder/err")"; failures=$((failures + 1)); }
"$admin" --db "$folder/a.bd" export-csv "$folder/e.csv" >/dev/null &&
    [ "$(wc -l <"$folder/e.csv")" -eq 1 ] ||
    { echo "FAIL: export of an empty registry"; failures=$((failures + 1)); }
exit $failures
