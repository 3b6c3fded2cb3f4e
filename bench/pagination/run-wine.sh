#!/usr/bin/env bash
# The Windows page printer under Wine with real GDI measuring, on the test prefix's default
# printer (the "PDF" queue of a print server like the print tests' own):
#   bench/pagination/run-wine.sh layout [lines]  lays out a generated log (default 100,000 lines)
#                                                and enscript the same file; prints both times
#   bench/pagination/run-wine.sh print [lines]   lays out and prints every page of a generated
#                                                log (default 1,000,000 lines) to the PDF printer,
#                                                then checks the PDF's page count and its first and
#                                                last lines
# Needs build/win32 (bench_pagination, list-printers) and build/native (pagination-bench).
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/install-deps.sh enscript  # the peer, on top of what the test command installs
mode=${1:-layout}
default_lines=100000
[ "$mode" = print ] && default_lines=1000000
lines=${2:-$default_lines}
. scripts/wine-env.sh
arch=$(vt9_preferred_arch)
vt9_wine_env "$arch"
tree=build/$arch
export WINEPREFIX=$PWD/$tree/wineprefix WINEDEBUG=-all
# A print server like the tests' own, in a folder of its own under the tree, stopped on exit.
server=$PWD/$tree/bench-print-server
work=$(mktemp -d)
export CUPS_SERVER=$work/cups.sock
trap 'scripts/print-server.sh stop "$server" "$CUPS_SERVER" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
pdfdir=$(scripts/print-server.sh start "$server" "$CUPS_SERVER")
wine "$tree/bin/list-printers.exe" >/dev/null 2>&1 || true
build/native/pagination-bench generate "$work/backup.log" "$lines"

start=$(date +%s%N)
out=$(wine "$tree/bin/bench_pagination.exe" "$mode" "Z:$work/backup.log" | tr -d '\r')
end=$(date +%s%N)
echo "$out"
awk -v a="$start" -v b="$end" 'BEGIN { printf "wine_process_seconds %.3f\n", (b - a) / 1e9 }'
if [ "$mode" = layout ]; then
  start=$(date +%s%N)
  enscript -q --word-wrap --media=A4 --font=Courier10 --header='|Backup log|' -p "$work/out.ps" "$work/backup.log"
  end=$(date +%s%N)
  e=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
  echo "enscript_seconds $e pages $(grep -c '^%%Page:' "$work/out.ps")"
  o=$(echo "$out" | sed -n 's/^layout_seconds //p')
  awk -v o="$o" -v e="$e" 'BEGIN { printf "layout_ratio_ours_to_enscript %.3f (target <= 1.0)\n", o / e }'
  exit 0
fi
# Printing: wait for the queue to empty and the PDF to appear.
for _ in $(seq 36000); do
  f=$(ls -t "$pdfdir"/vt9-pagination-bench*.pdf 2>/dev/null | head -1 || true)
  if [ -n "$f" ] && [ -z "$(lpstat -o PDF 2>/dev/null)" ]; then break; fi
  sleep 1
done
end=$(date +%s%N)
awk -v a="$start" -v b="$end" 'BEGIN { printf "end_to_end_seconds_until_pdf %.1f\n", (b - a) / 1e9 }'
pages=$(pdfinfo "$f" | sed -n 's/^Pages:[[:space:]]*//p')
echo "pdf $f pages $pages (layout: $(echo "$out" | sed -n 's/^pages //p'))"
first=$(head -1 "$work/backup.log" | cut -c1-19)
# (the PDF is removed afterwards: a million lines make some 3 GB of spool and PDF)
last=$(tail -1 "$work/backup.log" | cut -c1-19)
firstpage=$(pdftotext -f 1 -l 1 "$f" -)
lastpage=$(pdftotext -f "$pages" -l "$pages" "$f" -)
if grep -qF "$first" <<<"$firstpage"; then echo "first line present: $first"; else echo "first line MISSING: $first"; fi
if grep -qF "$last" <<<"$lastpage"; then echo "last line present: $last"; else echo "last line MISSING: $last"; fi
[ -n "${KEEP_PDF:-}" ] || rm -f "$f" "${f%.pdf}.ps"
