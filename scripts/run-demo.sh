#!/bin/bash
# Installs what is needed, builds, creates the demo suite folder with an embedded demo database,
# and starts the program on it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OLVENDRA_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

export OLVENDRA_DIR=${OLVENDRA_DIR:-$root/demo/olvendra}
# The suite's lock folder, which the program and olvendra-admin also use when it is unset.
export FIREBIRD_LOCK="$OLVENDRA_DIR/firebird-lock"
mkdir -p "$OLVENDRA_DIR/dados" "$FIREBIRD_LOCK"
admin="$build/tools/admin/olvendra-admin"
program="$build/app/olvendra-medicos"

# The first line names the directory of the database client library.
echo "/usr/lib/x86_64-linux-gnu" > "$OLVENDRA_DIR/CaminhoGDS.txt"
if [ ! -f "$OLVENDRA_DIR/dados/olvendra.bd" ]; then
    "$admin" init-db "$OLVENDRA_DIR/dados/olvendra.bd"
    "$admin" --db "$OLVENDRA_DIR/dados/olvendra.bd" seed-demo
fi
"$root/scripts/write-demo-ini.sh" "$(dirname "$program")/OLVENDRA.INI"

echo "Demo suite folder: $OLVENDRA_DIR"
echo "Demo users: MARIA / 1234 (works), JOAO / 4321 (no work area), PEDRO / 1111 (no access)"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting the program inside a virtual X server (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$program"
fi
exec "$program"
