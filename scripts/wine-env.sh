# Sourced by the scripts that start Wine: picks the loader that matches a Windows build tree.
# Debian's "wine" wrapper takes the 32-bit loader whenever it is installed, even on a kernel
# that cannot execute 32-bit code, so the loaders are always named directly.
#   vt9_wine_env win32|win64   exports WINEARCH and WINELOADER for that kind of tree
#   wine ARGS...               runs ARGS under $WINELOADER
#   wineserver ARGS...         the server (one for both kinds)
#   vt9_host_runs_32bit        true when this kernel runs Wine's 32-bit loader
#   vt9_prefix_processes PREFIX  lists the running processes of a prefix ("pid args" lines)
#   vt9_wine_stop PREFIX       ends the prefix's server and its processes and waits for them

vt9_wine_env() {
  case $1 in
    win32) export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine ;;
    win64) export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 ;;
    *) echo "unknown Wine architecture: $1" >&2; return 1 ;;
  esac
}

wine() { "$WINELOADER" "$@"; }
wineserver() { /usr/lib/wine/wineserver "$@"; }

vt9_host_runs_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The tree a script should use on this host: build/win32 where 32-bit code runs (the shipped
# product), build/win64 elsewhere or when VT9_SKIP_WIN32 is set.
vt9_preferred_arch() {
  if [ -z "${VT9_SKIP_WIN32:-}" ] && vt9_host_runs_32bit; then echo win32; else echo win64; fi
}

vt9_prefix_processes() {
  bash "$(dirname "${BASH_SOURCE[0]}")/wine-processes.sh" "$1"
}

vt9_wine_stop() {
  WINEPREFIX=$(realpath -m "$1") /usr/lib/wine/wineserver -k 2>/dev/null || true
  local _
  for _ in $(seq 100); do
    [ -z "$(vt9_prefix_processes "$1")" ] && return 0
    sleep 0.1
  done
  echo "Wine processes of $1 still running:" >&2
  vt9_prefix_processes "$1" >&2
  return 1
}
