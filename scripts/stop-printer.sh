#!/usr/bin/env bash
# Stops the private CUPS server that scripts/start-printer.sh started in the
# folder $VELTO_CUPS_DIR, and no other. The folder stays (logs, PDFs); the
# machine's own CUPS is not touched. Root (sudo otherwise) to end the server,
# which runs as root.
set -euo pipefail
DIR="${VELTO_CUPS_DIR:?set VELTO_CUPS_DIR to the folder of the printer to stop}"
PIDFILE="$DIR/cupsd.pid"
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

pid="$(cat "$PIDFILE" 2>/dev/null || true)"
# Only this folder's server: the pid may have been reused since.
if [ -n "$pid" ] && tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "-c $DIR/cupsd.conf"; then
  $SUDO kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 1 40); do
    [ -e "/proc/$pid" ] || break
    sleep 0.25
  done
  if [ -e "/proc/$pid" ]; then
    echo "stop-printer: cupsd $pid did not stop; killing it" >&2
    $SUDO kill -KILL "$pid" 2>/dev/null || true
  fi
fi
rm -f "$PIDFILE" "$DIR/env"
