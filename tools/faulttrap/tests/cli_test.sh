#!/bin/bash
# The build tool's command line: help and version on standard output with exit 0; mistakes in
# the command line give the usage on standard error and exit 2; a failing command gives its
# message and exit 1. `faulttrap options` checks and converts an options file both ways.
set -u
faulttrap=$1
version=$2
sample=$3
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
run() {
    "$faulttrap" "$@" >"$folder/out" 2>"$folder/err"
    code=$?
}
for option in --help -h; do
    run "$option"
    { [ "$code" -eq 0 ] && [ ! -s "$folder/err" ] && grep -q "^usage: faulttrap embed" "$folder/out"; } ||
        fail "$option (exit $code)"
done
run --version
[ "$code" -eq 0 ] && [ "$(cat "$folder/out")" = "faulttrap $version" ] || fail "--version: $(cat "$folder/out")"
for mistake in "" "frobnicate" "embed" "show a b" "embed x --colour red" "options"; do
    # shellcheck disable=SC2086
    run $mistake
    { [ "$code" -eq 2 ] && [ ! -s "$folder/out" ] && grep -q "^usage: faulttrap" "$folder/err"; } ||
        fail "\"$mistake\" (exit $code): $(cat "$folder/err")"
done
run show /nonexistent/program
{ [ "$code" -eq 1 ] && [ "$(wc -l <"$folder/err")" -eq 1 ]; } || fail "show of a missing file (exit $code)"

# The readable options: checked, converted to the stream and back to the same text.
run options "$sample" --output "$folder/options.bin"
[ "$code" -eq 0 ] || fail "options INI to stream (exit $code): $(cat "$folder/err")"
run options "$folder/options.bin"
[ "$code" -eq 0 ] || fail "options stream to INI (exit $code): $(cat "$folder/err")"
cp "$folder/out" "$folder/first.ini"
run options "$folder/first.ini" --output "$folder/again.bin"
cmp -s "$folder/options.bin" "$folder/again.bin" || fail "INI -> stream -> INI -> stream differs"
run options "$folder/again.bin" --output "$folder/again.ini"
cmp -s "$folder/first.ini" "$folder/again.ini" || fail "stream -> INI differs the second time"
grep -q "^SMTPHost=mail.example.com$" "$folder/first.ini" || fail "SMTPHost lost"
grep -q "^ClassName=std::out_of_range$" "$folder/first.ini" || fail "the filter lost"
grep -qx "ClassicHeader=O programa encontrou um problema." "$folder/first.ini" ||
    fail "the text given by number is not written by its name"
printf '[CustomizedTexts]\nSendButton=&Enviar\n26=Falhou.\n' >"$folder/named.ini"
run options "$folder/named.ini" --output "$folder/named.bin"
[ "$code" -eq 0 ] || fail "texts by name and number (exit $code): $(cat "$folder/err")"
run options "$folder/named.bin"
grep -qx "SendButton=&Enviar" "$folder/out" && grep -qx "ClassicHeader=Falhou." "$folder/out" ||
    fail "texts by name and number lost on the way: $(cat "$folder/out")"
printf '[Options]\nSMTPPort=25\nSMTPHots=x\n\n[Filter]\nHandlerChoice=7\n[CustomizedTexts]\nSendBtn=x\n' \
    >"$folder/bad.ini"
run options "$folder/bad.ini"
[ "$code" -eq 1 ] || fail "bad options file (exit $code)"
grep -qx "faulttrap: $folder/bad.ini:3: unknown option \"SMTPHots\"" "$folder/err" ||
    fail "bad key not named with its line: $(cat "$folder/err")"
grep -q "^faulttrap: $folder/bad.ini:6: HandlerChoice: " "$folder/err" ||
    fail "bad value not named with its line: $(cat "$folder/err")"
grep -qx "faulttrap: $folder/bad.ini:8: unknown customised text \"SendBtn\"" "$folder/err" ||
    fail "unknown text name not named with its line: $(cat "$folder/err")"
cp /bin/true "$folder/program"
run embed "$folder/program" --options "$folder/bad.ini"
[ "$code" -eq 1 ] && grep -q "bad.ini:3:" "$folder/err" || fail "embed took a bad options file"
exit $failures
