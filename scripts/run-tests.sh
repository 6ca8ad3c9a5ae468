#!/usr/bin/env bash
# Installs what is missing, builds Quenzo and runs every test on both back ends:
# the embedded file database and a private MariaDB server started for the run.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

server=$(mktemp -d /tmp/quenzo-mariadb.XXXXXX)
cleanup() {
  "$root/scripts/mariadb-test-server.sh" stop "$server" || true
  rm -rf "$server"
}
trap cleanup EXIT

# A free port on loopback for the private server.
QUENZO_MARIADB_PORT=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
export QUENZO_MARIADB_PORT
if "$root/scripts/mariadb-test-server.sh" start "$server"; then
  # shellcheck disable=SC1091
  source "$server/env"
elif [ "${CI:-}" = "true" ]; then
  echo "Le serveur MariaDB de test n'a pas pu démarrer" >&2
  cat "$server/mariadb.err" >&2 || true
  exit 1
else
  echo "Attention : pas de serveur MariaDB, les tests du serveur seront sautés" >&2
fi

cd "$build"
ctest --output-on-failure -j2 "$@"
