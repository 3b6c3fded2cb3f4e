#!/usr/bin/env bash
# Lists the running processes of a Wine prefix, one "pid command line" line each; exit 0 either
# way. Every process started for a prefix carries WINEPREFIX in its environment: the server,
# the system processes (the desktop among them), the programs and the host commands they start.
# The caller and its parents are left out (a shell may have exported the variable); this
# script runs without it, and so do its commands.
# Usage: wine-processes.sh PREFIX
set -uo pipefail
[ -n "${WINEPREFIX+set}" ] && exec env -u WINEPREFIX bash "$0" "$@"
given=${1%/}
real=$(realpath -m "$given")
skip=" "
p=$$
while [ -n "$p" ] && [ "$p" -gt 1 ]; do
  skip+="$p "
  p=$(awk '{ sub(/^.*\) /, ""); print $2 }' "/proc/$p/stat" 2>/dev/null)
done
grep -l -z -x -F -e "WINEPREFIX=$given" -e "WINEPREFIX=$given/" -e "WINEPREFIX=$real" \
  /proc/[0-9]*/environ 2>/dev/null |
  while IFS=/ read -r _ _ pid _; do
    [[ $skip == *" $pid "* || $pid == "$BASHPID" ]] && continue
    args=$(tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline") || continue
    echo "$pid $args"
  done
exit 0
