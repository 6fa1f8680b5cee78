#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Orvane — sun-path diagrams.
#
# Throwaway MariaDB server for the update-check tests.
#
#   mariadb_test_server.sh start  <statedir>   install a fresh server under <statedir>, start it
#                                               on a free port of 127.0.0.1, load the update
#                                               database, leave it running
#   mariadb_test_server.sh stop   <statedir>   stop it and remove its data (never fails)
#   mariadb_test_server.sh sql    <statedir> "<statements>"
#                                               run statements as root (database
#                                               qorvalen_applications selected)
#   mariadb_test_server.sh reset  <statedir>   drop the update database and load it again, seeded
#   mariadb_test_server.sh pause  <statedir>   freeze the server (SIGSTOP): it accepts TCP
#                                               connections but never answers
#   mariadb_test_server.sh resume <statedir>   let it run again (SIGCONT)
#
# After start, <statedir> holds:
#   port     the TCP port on 127.0.0.1
#   socket   the path of the local socket (root connects there, without password)
#   mysqld.log  the server's error log
#
# Only the installed programs are used (mariadbd, mariadb-install-db, mariadb, mariadb-admin);
# no option file is read and the system's own server is neither needed nor touched.

set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
schema="$here/../update/server/orvane_maj.sql"
start_timeout=30 # seconds to wait for the server to answer
stop_timeout=30  # seconds to wait for it to end

die() {
    echo "mariadb_test_server: $*" >&2
    exit 1
}

find_program() {
    local name
    for name in "$@"; do
        if command -v "$name" >/dev/null 2>&1; then
            command -v "$name"
            return 0
        fi
        if [ -x "/usr/sbin/$name" ]; then
            echo "/usr/sbin/$name"
            return 0
        fi
    done
    return 1
}

mariadbd=$(find_program mariadbd mysqld) || die "mariadbd not found (install mariadb-server)"
install_db=$(find_program mariadb-install-db mysql_install_db) || die "mariadb-install-db not found"
client=$(find_program mariadb mysql) || die "mariadb client not found"
admin=$(find_program mariadb-admin mysqladmin) || die "mariadb-admin not found"

usage() {
    echo "usage: $0 start|stop|reset|pause|resume <statedir>" >&2
    echo "       $0 sql <statedir> \"<statements>\"" >&2
    exit 2
}

[ $# -ge 2 ] || usage
command=$1
statedir=$2
[ -n "$statedir" ] || usage

# Absolute paths: the server is started from another directory.
case "$statedir" in
/*) ;;
*) statedir="$PWD/$statedir" ;;
esac

datadir="$statedir/data"
tmpdir="$statedir/tmp"
pidfile="$statedir/mysqld.pid"
logfile="$statedir/mysqld.log"

server_pid() {
    local pid
    [ -f "$pidfile" ] || return 1
    pid=$(cat "$pidfile" 2>/dev/null) || return 1
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 1
    echo "$pid"
}

socket_path() {
    [ -f "$statedir/socket" ] && cat "$statedir/socket"
}

as_root() {
    local sock
    sock=$(socket_path) || die "no server state in $statedir (run start first)"
    "$client" --no-defaults --socket="$sock" --user=root --batch "$@"
}

show_log_tail() {
    if [ -f "$logfile" ]; then
        echo "---- last lines of $logfile ----" >&2
        tail -n 30 "$logfile" >&2
        echo "----" >&2
    fi
}

# A port of 127.0.0.1 with nobody listening, below the kernel's range of ephemeral ports so that
# outgoing connections do not take it meanwhile. The server may still lose a race for it; start
# then tries another one.
pick_port() {
    local port
    for _ in $(seq 1 50); do
        port=$((15000 + RANDOM % 17000))
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "$port"
            return 0
        fi
    done
    return 1
}

# Unix socket paths are limited to 107 bytes; a deep build directory would exceed it, so the
# socket then lives in a short directory of its own under /tmp.
choose_socket() {
    local sock="$statedir/mysqld.sock"
    if [ ${#sock} -gt 100 ]; then
        local dir
        dir=$(mktemp -d /tmp/orvane-maj.XXXXXX) || die "cannot create a socket directory"
        sock="$dir/mysqld.sock"
    fi
    echo "$sock"
}

do_stop() {
    local pid sock waited
    sock=$(socket_path 2>/dev/null || true)
    if pid=$(server_pid); then
        # A frozen server answers nothing: wake it first.
        kill -CONT "$pid" 2>/dev/null
        if [ -n "$sock" ] && [ -S "$sock" ]; then
            "$admin" --no-defaults --socket="$sock" --user=root \
                --connect-timeout=5 shutdown >/dev/null 2>&1 || kill -TERM "$pid" 2>/dev/null
        else
            kill -TERM "$pid" 2>/dev/null
        fi
        waited=0
        while kill -0 "$pid" 2>/dev/null; do
            if [ $waited -ge $((stop_timeout * 10)) ]; then
                echo "mariadb_test_server: server $pid did not stop, killing it" >&2
                kill -KILL "$pid" 2>/dev/null
                sleep 0.2
                break
            fi
            sleep 0.1
            waited=$((waited + 1))
        done
    fi
    rm -rf "$datadir" "$tmpdir"
    rm -f "$pidfile" "$statedir/port" "$statedir/socket"
    if [ -n "$sock" ]; then
        rm -f "$sock"
        case "$sock" in
        /tmp/orvane-maj.*/mysqld.sock) rmdir "$(dirname "$sock")" 2>/dev/null ;;
        esac
    fi
    return 0
}

# Starts mariadbd on the given port and waits until it answers.
# Returns 0 when it answers, 2 when the port was taken, 1 on any other failure.
launch() {
    local port=$1 sock=$2 pid waited
    local user
    user=$(id -un)
    rm -f "$pidfile"
    : >"$logfile"
    # setsid and the redirections detach the server from the caller: a test driver that waits
    # for the output of this script to close must not wait for the server too.
    setsid "$mariadbd" --no-defaults \
        --user="$user" \
        --datadir="$datadir" \
        --tmpdir="$tmpdir" \
        --socket="$sock" \
        --port="$port" \
        --bind-address=127.0.0.1 \
        --pid-file="$pidfile" \
        --log-error="$logfile" \
        --innodb-buffer-pool-size=32M \
        --innodb-use-native-aio=0 \
        --skip-log-bin \
        </dev/null >>"$logfile" 2>&1 &
    pid=$!
    waited=0
    while :; do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid" 2>/dev/null
            if grep -q "Address already in use" "$logfile" 2>/dev/null; then
                return 2
            fi
            echo "mariadb_test_server: mariadbd exited during start-up" >&2
            return 1
        fi
        if [ -S "$sock" ] &&
            "$admin" --no-defaults --socket="$sock" --user=root --connect-timeout=2 \
                ping >/dev/null 2>&1; then
            # mariadbd does not fork, so the launched process is the server; its own pid file
            # is rewritten with that pid should it lag behind the socket.
            echo "$pid" >"$pidfile"
            return 0
        fi
        if [ $waited -ge $((start_timeout * 10)) ]; then
            echo "mariadb_test_server: no answer from mariadbd after ${start_timeout} s" >&2
            kill -KILL "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
}

do_start() {
    local port sock status
    [ -f "$schema" ] || die "update database script not found: $schema"
    mkdir -p "$statedir" || die "cannot create $statedir"
    # A server left over by an interrupted run is replaced.
    do_stop
    mkdir -p "$datadir" "$tmpdir" || die "cannot create $datadir"

    if ! "$install_db" --no-defaults \
        --auth-root-authentication-method=normal \
        --skip-test-db \
        --user="$(id -un)" \
        --datadir="$datadir" \
        >"$statedir/install.log" 2>&1; then
        echo "mariadb_test_server: mariadb-install-db failed:" >&2
        tail -n 30 "$statedir/install.log" >&2
        do_stop
        exit 1
    fi

    sock=$(choose_socket)
    echo "$sock" >"$statedir/socket"
    for _ in 1 2 3 4 5; do
        port=$(pick_port) || {
            do_stop
            die "no free TCP port found on 127.0.0.1"
        }
        launch "$port" "$sock"
        status=$?
        [ $status -eq 2 ] || break
        echo "mariadb_test_server: port $port taken, trying another one" >&2
    done
    if [ $status -ne 0 ]; then
        show_log_tail
        do_stop
        exit 1
    fi
    echo "$port" >"$statedir/port"

    # Root keeps only its socket account: anybody on the machine could otherwise log in over TCP
    # as root without a password while the tests run.
    if ! as_root --skip-column-names --execute="SELECT CONCAT('DROP USER ', QUOTE(user), '@',
            QUOTE(host), ';') FROM mysql.global_priv WHERE user = 'root' AND host <> 'localhost';" |
        as_root; then
        echo "mariadb_test_server: removing the network root accounts failed" >&2
        show_log_tail
        do_stop
        exit 1
    fi

    if ! as_root <"$schema"; then
        echo "mariadb_test_server: loading $schema failed" >&2
        show_log_tail
        do_stop
        exit 1
    fi
    echo "mariadb_test_server: running on 127.0.0.1:$port (socket $sock, pid $(cat "$pidfile"))"
}

case "$command" in
start)
    [ $# -eq 2 ] || usage
    do_start
    ;;
stop)
    [ $# -eq 2 ] || usage
    do_stop
    ;;
sql)
    [ $# -eq 3 ] || usage
    server_pid >/dev/null || die "no server running for $statedir"
    # The update database is selected when it exists; a test may have dropped it.
    if [ -d "$datadir/qorvalen_applications" ]; then
        as_root --database=qorvalen_applications --execute="$3"
    else
        as_root --execute="$3"
    fi
    ;;
reset)
    [ $# -eq 2 ] || usage
    server_pid >/dev/null || die "no server running for $statedir"
    as_root --execute="DROP DATABASE IF EXISTS qorvalen_applications;" || exit 1
    as_root <"$schema"
    ;;
pause)
    [ $# -eq 2 ] || usage
    pid=$(server_pid) || die "no server running for $statedir"
    kill -STOP "$pid"
    ;;
resume)
    [ $# -eq 2 ] || usage
    pid=$(server_pid) || die "no server running for $statedir"
    kill -CONT "$pid"
    ;;
*)
    usage
    ;;
esac
