#!/usr/bin/env bash
# A print server of the tests' own: a CUPS scheduler whose configuration, spool, logs and output
# live in one folder of the build tree, listening only on a Unix socket, with two queues that
# write PDF files into that folder: "PDF" (A4, the default) and "PDFLetter" (US Letter).
# The system's scheduler, its printers, /etc/cups and the home folder are never touched.
#
#   print-server.sh start DIR SOCKET   (re)starts the server; prints the folder the PDFs land in
#   print-server.sh stop DIR [SOCKET]  stops it and whatever it started; fails if any is left
#   print-server.sh running DIR        lists the processes of this server (exit 0 when there are)
#
# Clients reach it with CUPS_SERVER=SOCKET. Each job becomes DIR/pdf/<job title>-job_<id>.pdf,
# which appears only once complete. A server left over by an interrupted run is stopped by the
# next start.
set -euo pipefail

cmd=${1:?usage: print-server.sh start|stop|running DIR [SOCKET]}
dir=$(realpath -m "${2:?the server folder}")
socket=${3:-}
conf=$dir/conf/cupsd.conf
here=$(cd "$(dirname "$0")" && pwd)

# The processes of this server: the scheduler, found by its name and configuration path, and
# every process below it (filters, backend, Ghostscript).
our_processes() {
  local dir pid ppid comm args table found=() queue=()
  for dir in /proc/[0-9]*; do
    read -r comm 2>/dev/null <"$dir/comm" || continue
    [ "$comm" = cupsd ] || continue
    args=$( { tr '\0' ' ' <"$dir/cmdline"; } 2>/dev/null) || continue
    [[ " $args " == *" $conf "* ]] && found+=("${dir#/proc/}")
  done
  [ ${#found[@]} -eq 0 ] && return 0
  # "pid ppid" of every process (the parent follows the command name in parentheses).
  table=$(awk 'FNR == 1 { n = split(FILENAME, p, "/"); sub(/^.*\) /, ""); print p[3], $2 }' \
    /proc/[0-9]*/stat 2>/dev/null)
  queue=("${found[@]}")
  while [ ${#queue[@]} -gt 0 ]; do
    while read -r pid ppid; do
      if [ "$ppid" = "${queue[0]}" ]; then
        found+=("$pid")
        queue+=("$pid")
      fi
    done <<<"$table"
    queue=("${queue[@]:1}")
  done
  printf '%s\n' "${found[@]}"
}

# "pid command line" of each process of this server.
describe() {
  local p
  for p in $(our_processes); do
    echo "$p $( { tr '\0' ' ' <"/proc/$p/cmdline"; } 2>/dev/null)"
  done
}

alive() { [ -n "$(our_processes)" ]; }

stop_server() {
  local pids
  pids=$(our_processes)
  if [ -n "$pids" ]; then
    # The scheduler stops its jobs' filters and backends itself on TERM.
    # shellcheck disable=SC2086
    kill -TERM $pids 2>/dev/null || true
    for _ in $(seq 100); do
      alive || break
      sleep 0.1
    done
    pids=$(our_processes)
    # shellcheck disable=SC2086
    [ -n "$pids" ] && kill -KILL $pids 2>/dev/null || true
    for _ in $(seq 50); do
      alive || break
      sleep 0.1
    done
  fi
  rm -f "$dir/cupsd.pid"
  if [ -n "$socket" ]; then
    rm -f "$socket"
    # A socket outside the folder (its path would be too long for a Unix socket) has a folder
    # of its own in the system temp folder.
    case $(dirname "$socket") in
      "$dir" | "$dir"/*) ;;
      *) rmdir "$(dirname "$socket")" 2>/dev/null || true ;;
    esac
  fi
  if alive; then
    echo "print server in $dir still running:" >&2
    describe >&2
    return 1
  fi
}

case $cmd in
  running)
    left=$(describe)
    [ -n "$left" ] || exit 1
    echo "$left"
    exit 0
    ;;
  stop)
    stop_server
    exit $?
    ;;
  start) ;;
  *) echo "unknown command: $cmd" >&2; exit 2 ;;
esac

[ -n "$socket" ] || { echo "print-server.sh start needs the socket path" >&2; exit 2; }
stop_server
rm -rf "$dir"
mkdir -p "$dir"/{conf/ppd,spool/tmp,cache,state,log,pdf,bin/backend} "$(dirname "$socket")"

# The programs the scheduler runs: the system's filters and helpers, and our backend. A backend
# that only root may read runs as root (a scheduler started by root runs the others as "lp",
# which could not write into a root-owned build tree).
ln -s /usr/lib/cups/filter "$dir/bin/filter"
ln -s /usr/lib/cups/daemon "$dir/bin/daemon"
install -m 0755 "$here/print-server-backend.sh" "$dir/bin/backend/vt9pdf"
[ "$(id -u)" -eq 0 ] && chmod 0700 "$dir/bin/backend/vt9pdf"

cat >"$dir/conf/cups-files.conf" <<EOF
ServerRoot $dir/conf
ServerBin $dir/bin
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerKeychain $dir/state/ssl
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/state/printcap
SystemGroup root
FileDevice No
EOF
cat >"$dir/conf/cupsd.conf" <<EOF
Listen $socket
LogLevel info
MaxLogSize 0
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultShared No
PreserveJobHistory No
PreserveJobFiles No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
# The queues, with the cups-pdf driver description (page sizes, PostScript options): one A4 by
# default, one Letter by default.
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
cp "$ppd" "$dir/conf/ppd/PDF.ppd"
sed -e 's/^\*Default\(PageSize\|PageRegion\|ImageableArea\|PaperDimension\): .*/*Default\1: Letter/' \
  "$ppd" >"$dir/conf/ppd/PDFLetter.ppd"
queue() {
  cat <<EOF
<$1 $2>
Info $3
DeviceURI vt9pdf:/
State Idle
Accepting Yes
Shared No
</${1%% *}>
EOF
}
{
  queue DefaultPrinter PDF "PDF files on A4 paper"
  queue Printer PDFLetter "PDF files on US Letter paper"
} >"$dir/conf/printers.conf"

# In the foreground (-f), so the process is ours to stop; its output is detached, or the test
# runner would wait for it. It does not carry the Wine prefix of the step that starts it, so it
# is never taken for a process of that prefix.
env -u WINEPREFIX /usr/sbin/cupsd -f -c "$conf" -s "$dir/conf/cups-files.conf" </dev/null >>"$dir/log/cupsd.out" 2>&1 &
echo $! >"$dir/cupsd.pid"
for _ in $(seq 100); do
  if CUPS_SERVER=$socket lpstat -r 2>/dev/null | grep -q "is running" &&
    CUPS_SERVER=$socket lpstat -d 2>/dev/null | grep -q ": PDF$"; then
    echo "$dir/pdf"
    exit 0
  fi
  kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null || break
  sleep 0.1
done
echo "the print server in $dir did not start:" >&2
cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
stop_server || true
exit 1
