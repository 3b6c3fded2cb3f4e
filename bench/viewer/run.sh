#!/usr/bin/env bash
# Times the log viewer's own log view on generated 1 MB, 100 MB and 1 GB logs, and Wine's WordPad
# on a 10 MB one (see main.cpp).
# Usage: bench/viewer/run.sh [sizes in MB...]   (after the Windows build: build/win32)
#        bench/viewer/run.sh print MB [seconds]   the viewer's memory while printing a log
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
wine "$bin/bench_viewer.exe" "$@"
