#!/usr/bin/env bash
# A private MariaDB server for Quenzo's tests: its own data folder, socket and
# port under one folder, no systemd, a real user with a password, and a
# user-level ODBC set-up (odbcinst.ini + odbc.ini) chosen through ODBCSYSINI
# and ODBCINI.
#
#   mariadb-test-server.sh start DIR   starts it and writes DIR/env (source it)
#   mariadb-test-server.sh stop DIR    stops it and waits for the process to end
#   mariadb-test-server.sh pause DIR   stops it, keeping its data
#   mariadb-test-server.sh resume DIR  starts it again on the data it kept
set -euo pipefail

cmd=${1:-}
dir=${2:-}
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }

PORT=${QUENZO_MARIADB_PORT:-33061}
USER_NAME=quenzo
USER_PASS="Qz-test'pw"
DSN=QuenzoTest
DRIVER=/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so

stop_server() {
  [ -f "$dir/mariadb.pid" ] || return 0
  local pid
  pid=$(cat "$dir/mariadb.pid" 2>/dev/null || true)
  mariadb-admin --no-defaults --socket="$dir/mariadb.sock" -uroot shutdown >/dev/null 2>&1 || true
  # shutdown returns before the server has gone: wait for the process itself.
  for _ in $(seq 1 100); do
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
  rm -f "$dir/mariadb.pid"
}

launch_server() {
  setsid /usr/sbin/mariadbd --no-defaults --user=root --datadir="$dir/data" \
    --socket="$dir/mariadb.sock" --port="$PORT" --bind-address=127.0.0.1 \
    --pid-file="$dir/mariadb.pid" --log-error="$dir/mariadb.err" --skip-log-bin \
    --innodb-flush-log-at-trx-commit=2 --character-set-server=utf8mb4 \
    --collation-server=utf8mb4_general_ci </dev/null >/dev/null 2>&1 &
  for _ in $(seq 1 150); do
    mariadb-admin --no-defaults --socket="$dir/mariadb.sock" -uroot ping >/dev/null 2>&1 && break
    sleep 0.1
  done
  mariadb-admin --no-defaults --socket="$dir/mariadb.sock" -uroot ping >/dev/null
}

case "$cmd" in
start)
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  stop_server
  rm -rf "$dir/data"
  mariadb-install-db --no-defaults --user=root --datadir="$dir/data" \
    --auth-root-authentication-method=normal --skip-test-db >"$dir/install.log" 2>&1
  echo "$PORT" >"$dir/port"
  launch_server
  mariadb --no-defaults --socket="$dir/mariadb.sock" -uroot <<SQL
CREATE DATABASE IF NOT EXISTS quenzo_test CHARACTER SET utf8mb4;
CREATE USER IF NOT EXISTS '$USER_NAME'@'localhost' IDENTIFIED BY 'Qz-test''pw';
CREATE USER IF NOT EXISTS '$USER_NAME'@'127.0.0.1' IDENTIFIED BY 'Qz-test''pw';
GRANT ALL PRIVILEGES ON *.* TO '$USER_NAME'@'localhost';
GRANT ALL PRIVILEGES ON *.* TO '$USER_NAME'@'127.0.0.1';
FLUSH PRIVILEGES;
SQL
  cat >"$dir/odbcinst.ini" <<INI
[MariaDB Unicode]
Description=MariaDB Connector/ODBC
Driver=$DRIVER
INI
  cat >"$dir/odbc.ini" <<INI
[$DSN]
Description=Quenzo test server
Driver=MariaDB Unicode
SERVER=127.0.0.1
PORT=$PORT
DATABASE=quenzo_test
CHARSET=utf8mb4

[QuenzoTestDown]
Description=A server that does not answer
Driver=MariaDB Unicode
SERVER=127.0.0.1
PORT=1
DATABASE=quenzo_test

[QuenzoOther]
Description=A source of a kind Quenzo cannot use
Driver=PostgreSQL Unicode
Servername=127.0.0.1
INI
  cat >"$dir/env" <<ENV
export ODBCSYSINI='$dir'
export ODBCINI='$dir/odbc.ini'
export QUENZO_TEST_DSN='$DSN'
export QUENZO_TEST_DRIVER='MariaDB Unicode'
export QUENZO_TEST_DB_USER='$USER_NAME'
export QUENZO_TEST_DB_PASSWORD="$USER_PASS"
export QUENZO_TEST_MARIADB_SOCKET='$dir/mariadb.sock'
ENV
  echo "MariaDB de test prêt (port $PORT, DSN $DSN)"
  ;;
stop)
  stop_server
  ;;
pause)
  stop_server
  ;;
resume)
  dir=$(cd "$dir" && pwd)
  PORT=$(cat "$dir/port")
  launch_server
  ;;
*)
  echo "usage: $0 start|stop|pause|resume DIR" >&2
  exit 2
  ;;
esac
