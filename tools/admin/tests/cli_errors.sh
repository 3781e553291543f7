#!/bin/bash
# The admin tool's command line: help and version on standard output with exit 0; a mistake in the
# command line gives the usage on standard error and exit 2; a failing command gives one line on
# standard error and exit 1, never a crash.
set -u
admin=$1
version=$2
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
expect_failure() {
    local what=$1
    shift
    "$admin" "$@" >"$folder/out" 2>"$folder/err"
    local code=$?
    # The failure's own line ends the output (an import lists its refused lines before it).
    if [ "$code" -ne 1 ] || ! tail -1 "$folder/err" | grep -q "^olvendra-admin: " ||
        grep -q "^uso: " "$folder/err"; then
        fail "$what (exit $code): $(cat "$folder/err")"
    fi
}
expect_usage_error() {
    local what=$1
    shift
    "$admin" "$@" >"$folder/out" 2>"$folder/err"
    local code=$?
    if [ "$code" -ne 2 ] || [ -s "$folder/out" ] || ! grep -q "^olvendra-admin: " "$folder/err" ||
        ! grep -q "^uso: olvendra-admin" "$folder/err"; then
        fail "$what (exit $code): $(cat "$folder/err")"
    fi
}
for option in --help -h; do
    "$admin" "$option" >"$folder/out" 2>"$folder/err"
    code=$?
    { [ "$code" -eq 0 ] && [ ! -s "$folder/err" ] && grep -q "^uso: olvendra-admin" "$folder/out" &&
        grep -q "^  init-db \[CAMINHO\]" "$folder/out"; } || fail "$option (exit $code)"
done
[ "$("$admin" --version)" = "olvendra-admin $version" ] || fail "--version: $("$admin" --version)"
expect_usage_error "no command"
expect_usage_error "unknown command" frobnicate
expect_usage_error "unknown option" --frobnicate
expect_usage_error "--db without a path" --db
expect_usage_error "missing arguments" --db "$folder/a.bd" add-user ONLY
expect_usage_error "too many arguments" codifica a b
expect_failure "missing database" --db "$folder/none.bd" add-specialty X
grep -q "não existe" "$folder/err" || fail "missing database message: $(cat "$folder/err")"
"$admin" init-db "$folder/a.bd" || { echo "FAIL: init-db"; exit 1; }
expect_failure "existing database" init-db "$folder/a.bd"
expect_failure "name too long" --db "$folder/a.bd" add-user ABCDEFGHIJKLMNOP 1 x
grep -q "tem mais de 15 caracteres" "$folder/err" || fail "long name message: $(cat "$folder/err")"
"$admin" --db "$folder/a.bd" add-user MARIA 1234 "$("$admin" access-for MARIA)" || { echo "FAIL: add-user"; exit 1; }
expect_failure "duplicate user" --db "$folder/a.bd" add-user maria 1 x
[ "$("$admin" codifica abc)" = "BLBDAL" ] || fail "codifica"
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
