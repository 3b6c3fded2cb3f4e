#!/usr/bin/env bash
# Times "VT9Now.exe \CHECK" with no reminder due against an empty program, both under
# the same warm Wine, alternating, and prints the median of each and their ratio.
# Usage: bench/startup/run.sh [runs]   (after the Windows build: build/win32)
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/install-deps.sh
runs=${1:-15}
bin=${VT9_BIN:-build/win32/bin}  # another Windows build tree may be named here
# The figure that counts is the shipped 32-bit tool's; a 64-bit tree (build/win64/bin) links
# ordinary imports and runs under 64-bit Wine, for hosts without 32-bit execution.
arch=win32
case $bin in *win64*) arch=win64 ;; esac
. scripts/wine-env.sh
vt9_wine_env "$arch"
export WINEPREFIX=$PWD/build/bench-wineprefix-$arch WINEDEBUG=-all
# The prefix's server and processes end with the run, also when a step fails.
trap 'vt9_wine_stop "$WINEPREFIX" || true' EXIT
scripts/wine-prefix.sh "$WINEPREFIX" "$arch" >/dev/null
# Reminder not due: today is already recorded, so the check stops at its once-a-day gate.
today=$(date +%Y/%m/%d)
wine reg add 'HKCU\Software\Corvane\VT9' /v LastReminderDate /t REG_SZ /d "$today" /f >/dev/null 2>&1

time_ms() {  # prints the wall time of one run in microseconds
  local start end
  start=$(date +%s%N)
  wine "$@" </dev/null >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}
median() { sort -g | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

for exe in empty-win32 empty-win32-gui; do time_ms "$bin/$exe.exe" >/dev/null; done  # warm up
time_ms "$bin/VT9Now.exe" '\CHECK' >/dev/null
tool=(); empty=(); gui=()
for _ in $(seq "$runs"); do
  empty+=("$(time_ms "$bin/empty-win32.exe")")
  tool+=("$(time_ms "$bin/VT9Now.exe" '\CHECK')")
  gui+=("$(time_ms "$bin/empty-win32-gui.exe")")
done
ms() { echo "$(($1 / 1000)).$(printf '%03d' $(($1 % 1000))) ms"; }
mt=$(printf '%s\n' "${tool[@]}" | median)
me=$(printf '%s\n' "${empty[@]}" | median)
mg=$(printf '%s\n' "${gui[@]}" | median)
echo "runs each:                          $runs"
echo "VT9Now.exe \\CHECK (not due) median:  $(ms "$mt")"
echo "empty program median:               $(ms "$me")"
echo "empty program with user32 median:   $(ms "$mg")"
# Each tool start is paired with the empty start just before it, so drifts of a shared
# machine cancel out; the median of those pair ratios is the figure that counts.
pairs=$(for i in "${!tool[@]}"; do awk -v t="${tool[$i]}" -v e="${empty[$i]}" 'BEGIN {print t / e}'; done | median)
printf 'median of pair ratios (target <= 1.10):     %.3f\n' "$pairs"
awk -v t="$mt" -v e="$me" 'BEGIN {printf "ratio of the medians:                       %.3f\n", t / e}'
awk -v t="$mt" -v e="$mg" 'BEGIN {printf "ratio to the empty user32 program:         %.3f\n", t / e}'
