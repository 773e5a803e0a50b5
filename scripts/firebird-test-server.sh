#!/bin/bash
# A Firebird SuperServer for the tests that cross the network: bound to
# 127.0.0.1 on its own port, with its own configuration, lock directory and
# copy of the security database holding one known test user. The server uses
# only that copy, so that servers side by side, and the embedded engine of
# the tests, never hold the system's security database under different locks.
#
#   eval "$(scripts/firebird-test-server.sh start)"   # prints export lines
#   scripts/firebird-test-server.sh stop
#
# Both are idempotent. PELMORA_FB_STATE (default /tmp/pelmora-fb-server) and
# PELMORA_FB_PORT (default 3055) change where and on which port it runs.
set -eu

STATE=${PELMORA_FB_STATE:-/tmp/pelmora-fb-server}
PORT=${PELMORA_FB_PORT:-3055}
TEST_USER=PELMORA
TEST_PASSWORD=pelmora
FB_ROOT=/usr/lib/x86_64-linux-gnu/firebird/3.0
SYSTEM_SECURITY_DB=/var/lib/firebird/3.0/system/security3.fdb
SERVER=/usr/sbin/firebird
PIDFILE=$STATE/server.pid

running() {
    [ -f "$PIDFILE" ] && kill -0 "$(cat "$PIDFILE")" 2>/dev/null
}

port_open() {
    (exec 3<>"/dev/tcp/127.0.0.1/$PORT") 2>/dev/null
}

print_env() {
    cat <<ENV
export PELMORA_FB_SERVER=127.0.0.1/$PORT
export PELMORA_FB_USER=$TEST_USER
export PELMORA_FB_PASSWORD=$TEST_PASSWORD
export PELMORA_FB_SERVER_STATE=$STATE
ENV
}

prepare_state() {
    mkdir -p "$STATE/lock" "$STATE/data"
    for entry in UDF firebird.msg include intl lib plugins plugins.conf fbtrace.conf; do
        [ -e "$STATE/$entry" ] || ln -s "$FB_ROOT/$entry" "$STATE/$entry"
    done
    cat >"$STATE/firebird.conf" <<CONF
RemoteBindAddress = 127.0.0.1
RemoteServicePort = $PORT
ServerMode = Super
AuthServer = Srp
UserManager = Srp
WireCrypt = Enabled
SecurityDatabase = $STATE/security3.fdb
CONF
    cat >"$STATE/databases.conf" <<CONF
security.db = $STATE/security3.fdb
{
    RemoteAccess = false
}
CONF
    if [ ! -f "$STATE/security3.fdb" ]; then
        cp "$SYSTEM_SECURITY_DB" "$STATE/security3.fdb"
        # The embedded engine, pointed at this configuration, writes the user
        # into the copy; the system's security database is not touched.
        printf "create or alter user %s password '%s';\ngrant create database to user %s;\ncommit;\n" \
            "$TEST_USER" "$TEST_PASSWORD" "$TEST_USER" |
            FIREBIRD="$STATE" FIREBIRD_LOCK="$STATE/lock" \
                isql-fb -q -user SYSDBA "$STATE/security3.fdb" >"$STATE/setup.log" 2>&1 || {
            cat "$STATE/setup.log" >&2
            rm -f "$STATE/security3.fdb"
            exit 1
        }
    fi
}

start() {
    if running; then
        print_env
        return 0
    fi
    if port_open; then
        echo "firebird-test-server: port $PORT is taken by another program" >&2
        exit 1
    fi
    prepare_state
    FIREBIRD="$STATE" FIREBIRD_LOCK="$STATE/lock" nohup "$SERVER" \
        >"$STATE/server.log" 2>&1 </dev/null &
    echo $! >"$PIDFILE"
    tries=0
    until running && port_open; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ] || ! running; then
            echo "firebird-test-server: the server did not answer on port $PORT" >&2
            cat "$STATE/server.log" >&2 || true
            stop
            exit 1
        fi
        sleep 0.1
    done
    print_env
}

stop() {
    if running; then
        pid=$(cat "$PIDFILE")
        kill "$pid" 2>/dev/null || true
        tries=0
        while kill -0 "$pid" 2>/dev/null; do
            tries=$((tries + 1))
            if [ "$tries" -gt 100 ]; then
                kill -9 "$pid" 2>/dev/null || true
                break
            fi
            sleep 0.1
        done
    fi
    rm -f "$PIDFILE"
}

case "${1:-}" in
start) start ;;
stop) stop ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
