#!/usr/bin/env bash
# Times the log viewer's own log view on generated 1 MB, 100 MB and 1 GB logs, and Wine's WordPad
# on a 10 MB one (see main.cpp).
# Usage: bench/viewer/run.sh [sizes in MB...]   (after the Windows build: build/win32)
#        bench/viewer/run.sh print MB [seconds]   the viewer's memory while printing a log
#        bench/viewer/run.sh print MB 0   prints every page, then reads the PDF back: its page count
#                                         against the viewer's, the log's first and last lines
set -euo pipefail
cd "$(dirname "$0")/../.."
# The whole run needs one display: Wine's desktop process, started with the prefix, keeps the
# display it was started with.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$PWD/bench/viewer/run.sh" "$@"
fi
bin=${VT9_BIN:-build/win32/bin}
arch=win32
case $bin in *win64*) arch=win64 ;; esac
. scripts/wine-env.sh
vt9_wine_env "$arch"
export WINEPREFIX=$PWD/build/bench-wineprefix-$arch WINEDEBUG=-all
# The prefix's server and processes end with the run, also when a step fails.
trap 'vt9_wine_stop "$WINEPREFIX" || true' EXIT
scripts/wine-prefix.sh "$WINEPREFIX" "$arch" >/dev/null
if [ "${1:-}" = print ]; then
  # Printing goes to a print server like the tests' own, in the tree, stopped on exit.
  server=$PWD/build/bench-print-server-$arch
  sockdir=$(mktemp -d)
  export CUPS_SERVER=$sockdir/cups.sock
  trap 'vt9_wine_stop "$WINEPREFIX" || true; scripts/print-server.sh stop "$server" "$CUPS_SERVER" >/dev/null 2>&1 || true; rm -rf "$sockdir"' EXIT
  scripts/print-server.sh start "$server" "$CUPS_SERVER" >/dev/null
  wine "$bin/list-printers.exe" >/dev/null 2>&1 || true
fi
if [ "${1:-}" != print ] || [ "${3:-}" != 0 ]; then
  wine "$bin/bench_viewer.exe" "$@"
  exit 0
fi
# Every page to the PDF printer: the job's PDF appears once Ghostscript has converted it.
out=$(mktemp)
trap 'vt9_wine_stop "$WINEPREFIX" || true; scripts/print-server.sh stop "$server" "$CUPS_SERVER" >/dev/null 2>&1 || true; rm -rf "$sockdir" "$out"' EXIT
before=$(ls "$server/pdf" | wc -l)
started=$(date +%s)
wine "$bin/bench_viewer.exe" "$@" | tr -d '\r' | tee "$out"
spooled=$(date +%s)
pdf=
for _ in $(seq 3600); do
  pdf=$(ls -t "$server"/pdf/*.pdf 2>/dev/null | head -1 || true)
  [ -n "$pdf" ] && [ "$(ls "$server/pdf" | wc -l)" -gt "$before" ] && break
  pdf=
  sleep 1
done
[ -n "$pdf" ] || { echo "no PDF after an hour"; exit 1; }
done_at=$(date +%s)
pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
printed=$(sed -n 's/.*Page [0-9]* of \([0-9]*\).*/\1/p' "$out" | tail -1)
first=$(sed -n 's/^first line: //p' "$out")
last=$(sed -n 's/^last line: //p' "$out")
squeeze() { tr -s ' \n' ' '; }
in_page() { pdftotext -layout -f "$1" -l "$1" "$pdf" - | squeeze | grep -qF -- "$(printf '%s' "$2" | squeeze)"; }
echo "PDF: $pages pages ($(du -m "$pdf" | cut -f1) MB), the viewer's page count: ${printed:-?}"
in_page 1 "$first" && echo "first line on page 1: yes" || echo "first line on page 1: NO"
in_page "$pages" "$last" && echo "last line on page $pages: yes" || echo "last line on page $pages: NO"
echo "time: $((spooled - started)) s from the start of the benchmark until the viewer was done, $((done_at - spooled)) s more until the PDF was complete"
rm -f "$pdf" "${pdf%.pdf}.ps"
[ "$pages" = "$printed" ]
