#!/usr/bin/env bash
# Stops the private PostgreSQL server of $VELTO_PG_DIR (scripts/start-database.sh).
set -euo pipefail
DIR="${VELTO_PG_DIR:?set VELTO_PG_DIR to the folder of the server}"
PG=/usr/lib/postgresql/15/bin
as_server() { if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
if [ -e "$DIR/data/PG_VERSION" ]; then
  as_server "$PG/pg_ctl" -D "$DIR/data" -m fast -w stop >/dev/null 2>&1 || true
fi
