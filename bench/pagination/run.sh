#!/usr/bin/env bash
# Lays out a generated backup log of a million lines with our page layout and paginates the
# same file with enscript (PostScript, word wrap, a header), then prints both times, their
# ratio, the memory held by our recorded pages against the log's size, and the peak memory.
# Usage: bench/pagination/run.sh [lines]   (builds build/native's pagination-bench if needed)
set -euo pipefail
cd "$(dirname "$0")/../.."
lines=${1:-1000000}
if ! command -v enscript >/dev/null; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get install -y -qq --no-install-recommends enscript >/dev/null
fi
cmake -S . -B build/native >/dev/null
cmake --build build/native --target pagination-bench -j"$(nproc)" >/dev/null
bench=build/native/pagination-bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
$bench generate "$work/backup.log" "$lines"

ours=$(/usr/bin/time -f "%e %M" -o "$work/ours.time" $bench layout "$work/backup.log")
echo "$ours"
start=$(date +%s%N)
/usr/bin/time -f "%e %M" -o "$work/enscript.time" \
  enscript -q --word-wrap --media=A4 --font=Courier10 --header='|Backup log|' -p "$work/out.ps" "$work/backup.log"
end=$(date +%s%N)
enscript_s=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
ours_s=$(echo "$ours" | sed -n 's/^total_seconds //p')
log_bytes=$(echo "$ours" | sed -n 's/^bytes //p')
page_bytes=$(echo "$ours" | sed -n 's/^recorded_page_bytes //p')
echo "enscript_seconds $enscript_s"
echo "enscript_pages $(grep -c '^%%Page:' "$work/out.ps")"
echo "enscript_peak_rss_kb $(cut -d' ' -f2 "$work/enscript.time")"
awk -v o="$ours_s" -v e="$enscript_s" 'BEGIN { printf "time_ratio_ours_to_enscript %.3f (target <= 0.5)\n", o / e }'
awk -v p="$page_bytes" -v l="$log_bytes" 'BEGIN { printf "recorded_pages_to_log_size %.3f (target <= 2)\n", p / l }'
