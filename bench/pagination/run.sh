#!/usr/bin/env bash
# Lays out a generated backup log of a million lines with our page layout (read from the file as
# a line source, pages kept as checkpoints) and paginates the same file with enscript
# (PostScript, word wrap, a header), in Courier 10 and in Helvetica 10 (our layout then takes
# each character's width from enscript's own Helvetica metrics, measured one pass per line).
# Prints the times, their ratios, the memory held by the pages and the peak memory.
# Usage: bench/pagination/run.sh [lines]   (builds build/native's pagination-bench if needed)
set -euo pipefail
cd "$(dirname "$0")/../.."
lines=${1:-1000000}
# The peer (enscript) and /usr/bin/time come on top of what the test command installs.
scripts/install-deps.sh enscript time
afm=/usr/share/enscript/afm/hv.afm
cmake -S . -B build/native >/dev/null
cmake --build build/native --target pagination-bench -j"$(nproc)" >/dev/null
bench=build/native/pagination-bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
$bench generate "$work/backup.log" "$lines"

run_enscript() {  # font [file [options]]
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f "%e %M" -o "$work/enscript.time" \
    enscript -q ${3:---word-wrap} --media=A4 --font="$1" --header='|Backup log|' -p "$work/out.ps" "${2:-$work/backup.log}"
  end=$(date +%s%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
}

for font in Courier10 Helvetica10; do
  echo "== $font"
  if [ "$font" = Helvetica10 ]; then ours=$($bench layout "$work/backup.log" "$afm"); else ours=$($bench layout "$work/backup.log"); fi
  echo "$ours"
  if [ "$font" = Helvetica10 ]; then
    # enscript 1.6's word wrap crashes on tabs in a proportional font: it wraps characters
    # here (the same measuring of every character); its word wrap is timed on a copy without tabs.
    tr '\t' ' ' < "$work/backup.log" > "$work/notabs.log"
    ww_s=$(run_enscript "$font" "$work/notabs.log")
    echo "enscript_word_wrap_without_tabs_seconds $ww_s pages $(grep -c '^%%Page:' "$work/out.ps")"
    enscript_s=$(run_enscript "$font" "$work/backup.log" "--no-job-header")
  else
    enscript_s=$(run_enscript "$font")
  fi
  ours_s=$(echo "$ours" | sed -n 's/^total_seconds //p')
  echo "enscript_seconds $enscript_s"
  echo "enscript_pages $(grep -c '^%%Page:' "$work/out.ps")"
  echo "enscript_peak_rss_kb $(cut -d' ' -f2 "$work/enscript.time")"
  awk -v o="$ours_s" -v e="$enscript_s" -v f="$font" 'BEGIN { printf "time_ratio_ours_to_enscript %.3f (%s; target <= 0.5 for Helvetica10)\n", o / e, f }'
  echo "$ours" | sed -n 's/^bytes_per_page \(.*\)/bytes_per_page \1 (target <= 64)/p'
done
