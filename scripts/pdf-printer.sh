#!/usr/bin/env bash
# A real printer for the tests that print: starts the CUPS scheduler when it is not running,
# adds a cups-pdf queue "PDF" (A4) and makes it the default printer, and a second one
# "PDFLetter" on Letter paper for the tests that choose another printer; then prints the folder where
# the queue writes its PDF files. Idempotent: what is already there is left as it is.
set -euo pipefail
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo

if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  # Without -f cupsd detaches, so it outlives the test that started it.
  $SUDO /usr/sbin/cupsd
  for _ in $(seq 50); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    sleep 0.1
  done
fi
if ! lpstat -p PDF >/dev/null 2>&1; then
  $SUDO lpadmin -p PDF -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
fi
if ! lpstat -p PDFLetter >/dev/null 2>&1; then
  $SUDO lpadmin -p PDFLetter -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
    -o PageSize=Letter
fi
if ! lpstat -d 2>/dev/null | grep -q ": PDF$"; then
  $SUDO lpadmin -d PDF
fi
# cups-pdf writes each job to the "Out" folder of its configuration, ${HOME}/PDF by default,
# with HOME that of the user who printed.
out=$(sed -n 's/^Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -1)
out=${out:-'${HOME}/PDF'}
echo "${out//\$\{HOME\}/$HOME}"
