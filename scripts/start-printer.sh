#!/usr/bin/env bash
# Starts CUPS with a PDF queue "VeltoPDF" as the default printer (tests print to it).
# cups-pdf writes each job to ~/PDF of the job's user as <title>-job_<id>.pdf.
set -euo pipefail
if ! pgrep -x cupsd >/dev/null; then
  (cupsd || /usr/sbin/cupsd) 2>/dev/null || true
  for _ in $(seq 1 20); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.5; done
fi
if ! lpstat -p VeltoPDF >/dev/null 2>&1; then
  lpadmin -p VeltoPDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null \
    || lpadmin -p VeltoPDF -E -v cups-pdf:/ -m everywhere 2>/dev/null \
    || lpadmin -p VeltoPDF -E -v cups-pdf:/
fi
# cups-pdf takes PostScript; the default PDF-to-PostScript renderer turns the
# fonts into Type 3 bitmaps, poppler's keeps them embedded as TrueType.
lpadmin -p VeltoPDF -o pdftops-renderer-default=pdftops
cupsenable VeltoPDF
cupsaccept VeltoPDF
lpadmin -d VeltoPDF
lpstat -d
