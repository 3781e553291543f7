#!/bin/bash
# A normal (non-root) user runs the admin tool and the program on a suite folder of their own,
# without FIREBIRD_LOCK: both use the suite's lock folder ("firebird-lock" inside the suite
# folder) and open the embedded database. Then a suite shared through a group, as the package
# sets it up: root creates the database, a user of the group works on it. Run as root, which can
# switch to the user "nobody".
set -u
admin=$1
program=$2
write_ini=$3
[ "$(id -u)" -eq 0 ] || { echo "needs root to run as another user"; exit 77; }
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
suite="$folder/olvendra"
mkdir -p "$suite/dados" "$folder/bin"
echo "/usr/lib/x86_64-linux-gnu" >"$suite/CaminhoGDS.txt"
# Copies of both programs, so that the user needs no access to the build folder.
cp "$program" "$folder/bin/olvendra-medicos"
cp "$admin" "$folder/bin/olvendra-admin"
admin="$folder/bin/olvendra-admin"
"$write_ini" "$folder/bin/OLVENDRA.INI"
chown -R nobody:nogroup "$folder"
chmod 755 "$folder"
as_nobody() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env -u FIREBIRD_LOCK HOME="$folder" OLVENDRA_DIR="$suite" QT_QPA_PLATFORM=offscreen "$@"
}
# Where the user cannot reach the system's own files (a root folder closed to others), nothing
# of this can be tried.
as_nobody true 2>/dev/null || { echo "the user nobody cannot run programs here"; exit 77; }
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
as_nobody "$admin" init-db || fail "init-db as nobody"
as_nobody "$admin" seed-demo || fail "seed-demo as nobody"
[ "$(as_nobody "$admin" add-specialty "Medicina do Sono")" -gt 0 ] 2>/dev/null || fail "add-specialty as nobody"
ls "$suite/firebird-lock" | grep -q . || fail "no lock files in the suite's lock folder"

# The program opens the database at its first activation; its lock files show that it did.
rm -rf "$suite/firebird-lock"
as_nobody timeout -s KILL 8 "$folder/bin/olvendra-medicos" >"$folder/program.out" 2>&1
code=$?
[ "$code" -eq 137 ] || fail "the program ended by itself (exit $code): $(cat "$folder/program.out")"
ls "$suite/firebird-lock" 2>/dev/null | grep -q . ||
    fail "the program made no lock files in the suite's lock folder: $(cat "$folder/program.out")"

# The shared suite: set-group-ID folders of a group the user belongs to, the database and the
# engine's lock files created by root under root's usual umask.
group=$(getent group users | cut -d: -f3)
if [ -n "$group" ]; then
    shared="$folder/compartilhada"
    mkdir -p "$shared/dados" "$shared/firebird-lock"
    cp "$suite/CaminhoGDS.txt" "$shared/"
    chown -R root:"$group" "$shared"
    chmod 2770 "$shared" "$shared/dados" "$shared/firebird-lock"
    as_root_in_shared() { (umask 022 && env -u FIREBIRD_LOCK OLVENDRA_DIR="$shared" "$@"); }
    as_root_in_shared "$admin" init-db >/dev/null || fail "init-db as root in the shared suite"
    as_root_in_shared "$admin" seed-demo >/dev/null || fail "seed-demo as root in the shared suite"
    as_group_member() {
        setpriv --reuid=nobody --regid=nogroup --groups="$group" \
            env -u FIREBIRD_LOCK HOME="$folder" OLVENDRA_DIR="$shared" "$@"
    }
    added=$(as_group_member "$admin" add-specialty "Medicina Hiperbárica" 2>&1)
    [ "$added" -gt 0 ] 2>/dev/null ||
        fail "a user of the group cannot write the shared database: $added $(ls -l "$shared"/*)"
    # A user outside the group is told so, not that the database is missing.
    refused=$(setpriv --reuid=nobody --regid=nogroup --clear-groups env -u FIREBIRD_LOCK \
        HOME="$folder" OLVENDRA_DIR="$shared" "$admin" add-specialty "Medicina Nuclear" 2>&1)
    case "$refused" in
    *"Sem permissão para abrir o banco de dados"*) ;;
    *) fail "a user outside the group was told: $refused" ;;
    esac
else
    echo "no group 'users' here: the shared suite was not tried"
fi
exit $failures
