#!/usr/bin/env bash
# Starts a private PostgreSQL 15 server for the tests, apart from the
# machine's own: its cluster, socket and log in the folder $VELTO_PG_DIR (a
# new temporary folder when unset), reached only through the Unix socket in
# that folder, no TCP port. $VELTO_PG_DIR/env holds the exports for its
# clients: VELTO_PG_DIR and VELTO_TEST_DATABASE, a libpq connection string of
# the empty database velto_test. Stop it with
# VELTO_PG_DIR=<folder> scripts/stop-database.sh.
# Leaves a server that already runs from that folder as it is.
# VELTO_PG_FSYNC=on makes it flush to disk as a ward's server does (the
# benchmarks); the tests run without.
# initdb refuses root: as root the server runs as the package's postgres
# user, otherwise as the calling user.
set -euo pipefail
PG=/usr/lib/postgresql/15/bin
DIR="${VELTO_PG_DIR:-}"
if [ -z "$DIR" ]; then
  DIR="$(mktemp -d "${TMPDIR:-/tmp}/velto-pg.XXXXXX")"
  echo "start-database: private server in $DIR" >&2
fi
mkdir -p "$DIR"
as_server() { if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
if [ "$(id -u)" = 0 ]; then chown postgres: "$DIR"; fi

if ! as_server "$PG/pg_ctl" -D "$DIR/data" status >/dev/null 2>&1; then
  if [ ! -e "$DIR/data/PG_VERSION" ]; then
    as_server "$PG/initdb" -D "$DIR/data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 >"$DIR/initdb.log" 2>&1 \
      || { cat "$DIR/initdb.log" >&2; exit 1; }
  fi
  as_server "$PG/pg_ctl" -D "$DIR/data" -w -t 30 -l "$DIR/server.log" \
    -o "-k $DIR -c listen_addresses='' -c fsync=${VELTO_PG_FSYNC:-off}" start >/dev/null \
    || { cat "$DIR/server.log" >&2; exit 1; }
fi
psql -h "$DIR" -U postgres -d postgres -Atqc "select 1 from pg_database where datname = 'velto_test'" | grep -q 1 \
  || createdb -h "$DIR" -U postgres velto_test
cat >"$DIR/env" <<EOF2
export VELTO_PG_DIR='$DIR'
export VELTO_TEST_DATABASE='host=$DIR dbname=velto_test user=postgres connect_timeout=5'
EOF2
echo "start-database: running; source $DIR/env" >&2
