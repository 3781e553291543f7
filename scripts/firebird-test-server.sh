#!/bin/bash
# Starts or stops a private Firebird 3 server on 127.0.0.1 for the tests that need a real server.
#   firebird-test-server.sh start ROOT [PORT]   (the server runs in the background)
#   firebird-test-server.sh stop ROOT
# ROOT is a private FIREBIRD root (configuration, security database, lock folder, PID file); the
# port it listens on is written to ROOT/port. Without PORT a free one is chosen.
set -eu
action=$1
root=$2
system=/usr/lib/x86_64-linux-gnu/firebird/3.0

case "$action" in
start)
    port=${3:-}
    if [ -z "$port" ]; then
        port=$((20000 + $$ % 20000))
        while (exec 3<>/dev/tcp/127.0.0.1/"$port") 2>/dev/null; do port=$((port + 1)); done
    fi
    if [ -f "$root/server.pid" ]; then "$0" stop "$root"; fi
    rm -rf "$root"
    mkdir -p "$root/lock"
    cp "$system/firebird.msg" "$root/"
    # The character-set library must be a copy: through a symlink WIN1252 is not found.
    cp -r "$system/intl" "$root/intl"
    cp -r "$system/plugins" "$root/plugins"
    cp /etc/firebird/3.0/plugins.conf "$root/"
    cp /var/lib/firebird/3.0/system/security3.fdb "$root/security3.fdb"
    cat > "$root/firebird.conf" <<CONF
RemoteBindAddress = 127.0.0.1
RemoteServicePort = $port
ServerMode = Super
SecurityDatabase = $root/security3.fdb
AuthServer = Srp, Legacy_Auth
UserManager = Srp
CONF
    printf '' > "$root/databases.conf"
    # SYSDBA's password is set on the private security database with the embedded engine.
    echo "create or alter user SYSDBA password 'masterkey' using plugin Srp; commit;" |
        FIREBIRD="$root" FIREBIRD_LOCK="$root/lock" isql-fb -q -user SYSDBA "$root/security3.fdb" >/dev/null
    FIREBIRD="$root" FIREBIRD_LOCK="$root/lock" /usr/sbin/firebird >"$root/server.log" 2>&1 &
    echo $! > "$root/server.pid"
    echo "$port" > "$root/port"
    # Ready when the port answers.
    for _ in $(seq 1 100); do
        if (exec 3<>/dev/tcp/127.0.0.1/"$port") 2>/dev/null; then exit 0; fi
        sleep 0.1
    done
    echo "The Firebird test server did not start; see $root/server.log" >&2
    exit 1
    ;;
stop)
    if [ -f "$root/server.pid" ]; then
        pid=$(cat "$root/server.pid")
        kill "$pid" 2>/dev/null || true
        # A server that still holds attachments may not end on the request: it goes after 5 s.
        for _ in $(seq 1 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null || true
        rm -f "$root/server.pid"
    fi
    ;;
*)
    echo "usage: $0 start ROOT PORT | stop ROOT" >&2
    exit 2
    ;;
esac
