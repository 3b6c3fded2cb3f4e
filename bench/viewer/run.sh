#!/usr/bin/env bash
# Times the log viewer's own log view on generated 1 MB, 100 MB and 1 GB logs, and Wine's WordPad
# on a 10 MB one (see main.cpp).
# Usage: bench/viewer/run.sh [sizes in MB...]   (after the Windows build: build/win32)
#        bench/viewer/run.sh print MB [seconds]   the viewer's memory while printing a log, Cancel
#                                         after `seconds`; the PDF holds no more pages than started
#        bench/viewer/run.sh filter [MB]  the filter: first listed line, whole pass, the window's
#                                         answers meanwhile, PgDn with the other lines hidden
#        bench/viewer/run.sh print MB 0   prints every page, then reads the PDF back: its page count
#                                         against the viewer's, the log's first and last lines
set -euo pipefail
cd "$(dirname "$0")/../.."
[ -n "${VT9_BENCH_INNER:-}" ] || scripts/install-deps.sh  # once, not again on the virtual display
# The whole run needs one display: Wine's desktop process, started with the prefix, keeps the
# display it was started with.
if [ -z "${DISPLAY:-}" ]; then
  VT9_BENCH_INNER=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$PWD/bench/viewer/run.sh" "$@"
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
if [ "${1:-}" = filter ]; then
  shift
  wine "$bin/bench_viewer_filter.exe" "$@"
  exit 0
fi
if [ "${1:-}" != print ]; then
  wine "$bin/bench_viewer.exe" "$@"
  exit 0
fi
# The job's PDF appears once Ghostscript has converted it: every page, or (with a time limit)
# the pages that went out before Cancel, which must be no more than were started.
out=$(mktemp)
trap 'vt9_wine_stop "$WINEPREFIX" || true; scripts/print-server.sh stop "$server" "$CUPS_SERVER" >/dev/null 2>&1 || true; rm -rf "$sockdir" "$out"' EXIT
ls "$server"/pdf/*.pdf >"$out.before" 2>/dev/null || true
started=$(date +%s)
wine "$bin/bench_viewer.exe" "$@" | tr -d '\r' | tee "$out"
spooled=$(date +%s)
pdf=
for _ in $(seq 3600); do
  pdf=$(ls -t "$server"/pdf/*.pdf 2>/dev/null | grep -vxF -f "$out.before" | head -1 || true)
  [ -n "$pdf" ] && break
  sleep 1
done
rm -f "$out.before"
[ -n "$pdf" ] || { echo "no PDF after an hour"; exit 1; }
done_at=$(date +%s)
pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
started_page=$(sed -n 's/.*Page \([0-9]*\) of [0-9]*.*/\1/p' "$out" | tail -1)
printed=$(sed -n 's/.*Page [0-9]* of \([0-9]*\).*/\1/p' "$out" | tail -1)
echo "PDF: $pages pages ($(du -m "$pdf" | cut -f1) MB), the viewer's page count: ${printed:-?}, the last page it started: ${started_page:-?}"
echo "time: $((spooled - started)) s from the start of the benchmark until the viewer was done, $((done_at - spooled)) s more until the PDF was complete"
status=0
if [ "${3:-}" = 0 ]; then
  first=$(sed -n 's/^first line: //p' "$out")
  last=$(sed -n 's/^last line: //p' "$out")
  squeeze() { tr -s ' \n' ' '; }
  in_page() { pdftotext -layout -f "$1" -l "$1" "$pdf" - | squeeze | grep -qF -- "$(printf '%s' "$2" | squeeze)"; }
  in_page 1 "$first" && echo "first line on page 1: yes" || { echo "first line on page 1: NO"; status=1; }
  in_page "$pages" "$last" && echo "last line on page $pages: yes" || { echo "last line on page $pages: NO"; status=1; }
  [ "$pages" = "$printed" ] || status=1
else
  [ "$pages" -le "${started_page:-0}" ] && echo "after Cancel: $pages pages, no more than the $started_page started" ||
    { echo "after Cancel: $pages pages, more than the ${started_page:-?} started"; status=1; }
fi
rm -f "$pdf" "${pdf%.pdf}.ps"
exit $status
