#!/usr/bin/env bash
# Starts a private CUPS server for the tests, apart from the machine's own and
# from any other run's: its own configuration, spool, log, cache and state in
# the folder $VELTO_CUPS_DIR (a new temporary folder when unset), reached only
# through the Unix socket $VELTO_CUPS_DIR/cups.sock, with a PDF queue
# "VeltoPDF" as its default printer. $VELTO_CUPS_DIR/env holds the exports
# for its clients (CUPS_SERVER, VELTO_PDF_DIR, VELTO_CUPS_DIR). Stop it with
# VELTO_CUPS_DIR=<folder> scripts/stop-printer.sh.
# Leaves a server that already runs from that folder as it is.
# Root (sudo otherwise) only for what needs it: cupsd, since the cups-pdf
# backend runs only as root (it hands each PDF to the job's user); the mount
# namespace that shows cupsd this folder's cups-pdf.conf; lpadmin, cupsenable
# and cupsaccept, which this server allows its system group only; and removing
# an earlier run's files, which cupsd owns.
set -euo pipefail
DIR="${VELTO_CUPS_DIR:-}"
if [ -z "$DIR" ]; then
  DIR="$(mktemp -d "${TMPDIR:-/tmp}/velto-cups.XXXXXX")"
  echo "start-printer: private printer in $DIR" >&2
fi
QUEUE=VeltoPDF
SOCK="$DIR/cups.sock"
PIDFILE="$DIR/cupsd.pid"
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
CUPSD="$(command -v cupsd || echo /usr/sbin/cupsd)"

# Clients of the private server only, never of the machine's own; lpadm for
# the calls that change its printers.
lpc() { env CUPS_SERVER="$SOCK" "$@"; }
lpadm() { $SUDO env CUPS_SERVER="$SOCK" "$@"; }
# Fails on a stale pid file or on a process that is not this folder's cupsd.
ours_running() {
  local pid
  pid="$(cat "$PIDFILE" 2>/dev/null)" || return 1
  [ -n "$pid" ] && tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "-c $DIR/cupsd.conf"
}

if ! ours_running; then
  # A fresh server each time: jobs and PDFs left by an earlier run would be
  # taken for this run's, as job numbers start again at 1.
  if [ -d "$DIR" ] && [ -n "$(ls -A "$DIR")" ] && [ ! -e "$DIR/cupsd.conf" ]; then
    echo "start-printer: $DIR is not empty and not a private CUPS folder; set VELTO_CUPS_DIR" >&2
    exit 1
  fi
  $SUDO rm -rf "$DIR"
  mkdir -p "$DIR"/{etc/ppd,etc/ssl,spool/tmp,cache,state,log,pdf,pdf-spool}
  chmod 755 "$DIR" "$DIR/etc"
  chmod 1777 "$DIR/pdf" # cups-pdf writes there as the job's user

  cat >"$DIR/cupsd.conf" <<EOF
# Only the Unix socket: no network port, no sharing, no browsing.
Listen $SOCK
Browsing No
BrowseLocalProtocols none
WebInterface No
LogLevel info
MaxLogSize 0
PreserveJobHistory Yes
PreserveJobFiles No
MaxJobs 0
DefaultAuthType Basic
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess default
  JobPrivateValues none
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues none
  <Limit Create-Job Print-Job Print-URI Validate-Job>
    Order deny,allow
  </Limit>
  <Limit Send-Document Send-URI Hold-Job Release-Job Restart-Job Purge-Jobs Set-Job-Attributes Create-Job-Subscription Renew-Subscription Cancel-Subscription Get-Notifications Reprocess-Job Cancel-Current-Job Suspend-Current-Job Resume-Job Cancel-My-Jobs Close-Job CUPS-Move-Job CUPS-Get-Document>
    Require user @OWNER @SYSTEM
    Order deny,allow
  </Limit>
  <Limit CUPS-Add-Modify-Printer CUPS-Delete-Printer CUPS-Add-Modify-Class CUPS-Delete-Class CUPS-Set-Default CUPS-Get-Devices>
    AuthType Default
    Require user @SYSTEM
    Order deny,allow
  </Limit>
  <Limit Pause-Printer Resume-Printer Enable-Printer Disable-Printer Pause-Printer-After-Current-Job Hold-New-Jobs Release-Held-New-Jobs Deactivate-Printer Activate-Printer Restart-Printer Shutdown-Printer Startup-Printer Promote-Job Schedule-Job-After Cancel-Jobs CUPS-Accept-Jobs CUPS-Reject-Jobs>
    AuthType Default
    Require user @SYSTEM
    Order deny,allow
  </Limit>
  <Limit Cancel-Job CUPS-Authenticate-Job>
    Require user @OWNER @SYSTEM
    Order deny,allow
  </Limit>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF

  cat >"$DIR/cups-files.conf" <<EOF
ServerRoot $DIR/etc
RequestRoot $DIR/spool
TempDir $DIR/spool/tmp
CacheDir $DIR/cache
StateDir $DIR/state
ServerKeychain $DIR/etc/ssl
AccessLog $DIR/log/access_log
ErrorLog $DIR/log/error_log
PageLog $DIR/log/page_log
SystemGroup root lpadmin
PeerCred on
FileDevice No
EOF

  # cups-pdf reads its settings from a fixed path in /etc/cups; the private
  # server sees this file there instead, through a mount namespace of its own,
  # so the machine's file is never changed.
  cat >"$DIR/cups-pdf.conf" <<EOF
Out $DIR/pdf
AnonDirName $DIR/pdf
Spool $DIR/pdf-spool
Log $DIR/log
Grp lpadmin
DecodeHexStrings 1
EOF

  start=("$CUPSD" -f -c "$DIR/cupsd.conf" -s "$DIR/cups-files.conf")
  if [ -e /etc/cups/cups-pdf.conf ] && $SUDO unshare -m --propagation private true 2>/dev/null; then
    pdfdir="$DIR/pdf"
    start=(unshare -m --propagation private sh -c \
      'mount --bind "$0" /etc/cups/cups-pdf.conf && exec "$@"' "$DIR/cups-pdf.conf" "${start[@]}")
  else
    # Without a namespace cups-pdf writes where the machine's settings say
    # (Out, by default ~/PDF of the job's user).
    pdfdir=""
    echo "start-printer: no mount namespace; PDFs go where /etc/cups/cups-pdf.conf says" >&2
  fi
  # In the foreground of a background job, so the pid is the server's own.
  $SUDO "${start[@]}" </dev/null >>"$DIR/log/cupsd.out" 2>&1 &
  echo $! >"$PIDFILE"
  printf 'export CUPS_SERVER=%q\nexport VELTO_PDF_DIR=%q\nexport VELTO_CUPS_DIR=%q\n' \
    "$SOCK" "$pdfdir" "$DIR" >"$DIR/env"

  for _ in $(seq 1 40); do
    lpc lpstat -r 2>/dev/null | grep -q "is running" && break
    ours_running || break
    sleep 0.25
  done
  if ! lpc lpstat -r 2>/dev/null | grep -q "is running"; then
    echo "start-printer: the private CUPS server did not start; see $DIR/log" >&2
    tail -n 20 "$DIR/log/cupsd.out" "$DIR/log/error_log" 2>/dev/null >&2 || true
    exit 1
  fi
fi

if ! lpc lpstat -p "$QUEUE" >/dev/null 2>&1; then
  lpadm lpadmin -p "$QUEUE" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null \
    || lpadm lpadmin -p "$QUEUE" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd 2>/dev/null \
    || lpadm lpadmin -p "$QUEUE" -E -v cups-pdf:/
fi
# cups-pdf takes PostScript; the default PDF-to-PostScript renderer turns the
# fonts into Type 3 bitmaps, poppler's keeps them embedded as TrueType.
# Letter by default, so that an A4 page shows the program asked for A4.
lpadm lpadmin -p "$QUEUE" -o pdftops-renderer-default=pdftops -o PageSize=Letter
lpadm cupsenable "$QUEUE"
lpadm cupsaccept "$QUEUE"
lpadm lpadmin -d "$QUEUE"
# A second queue like a real office printer: it cannot print the outer 5 mm
# of the sheet (14.17 points), so the pages must keep their texts inside.
MARGINS=VeltoPDFMargins
if ! lpc lpstat -p "$MARGINS" >/dev/null 2>&1; then
  ppd=""
  for p in /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd; do
    [ -e "$p" ] && { ppd="$p"; break; }
  done
  if [ -n "$ppd" ]; then
    sed -e 's/^\*HWMargins:.*/*HWMargins: 14.17 14.17 14.17 14.17/' \
        -e 's|^\*ImageableArea A4/A4:.*|*ImageableArea A4/A4: "14.17 14.17 580.83 827.83"|' \
        -e 's|^\*ImageableArea Letter/US Letter:.*|*ImageableArea Letter/US Letter: "14.17 14.17 597.83 777.83"|' \
        "$ppd" >"$DIR/margins.ppd"
    lpadm lpadmin -p "$MARGINS" -E -v cups-pdf:/ -P "$DIR/margins.ppd"
    lpadm lpadmin -p "$MARGINS" -o pdftops-renderer-default=pdftops
    lpadm cupsenable "$MARGINS"
    lpadm cupsaccept "$MARGINS"
  fi
fi
lpc lpstat -d
