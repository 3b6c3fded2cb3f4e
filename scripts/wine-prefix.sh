#!/usr/bin/env bash
# Prepares a private Wine prefix for the tests or the demo (never ~/.wine).
# Usage: wine-prefix.sh PREFIX [win32|win64]   (default win32: the shipped product's kind)
#        wine-prefix.sh --stop PREFIX          ends the prefix's server and every Wine process
#                                              of it, and waits until they are gone
# Idempotent: a prefix that is already prepared is only started.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
if [ "$1" = --stop ]; then
  vt9_wine_stop "$2"
  exit $?
fi
prefix=$(realpath -m "$1")
vt9_wine_env "${2:-win32}"
export WINEPREFIX="$prefix" WINEDEBUG=-all
# No menu entries or file associations in the home folder for the prefix's programs.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-winemenubuilder.exe=d}"
if [ ! -f "$prefix/.vt9-ready" ]; then
  rm -rf "$prefix"
  mkdir -p "$prefix"
  wine wineboot -i >/dev/null 2>&1
  wineserver -w
  # Without a window manager, managed windows close late; tests need them unmanaged.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  # Real Tahoma / MS Sans Serif, and metric-compatible faces for the common Windows fonts.
  cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  for pair in "Arial=Liberation Sans" "Courier New=Liberation Mono" "Times New Roman=Liberation Serif"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${pair%%=*}" /t REG_SZ /d "${pair#*=}" /f >/dev/null 2>&1
  done
  # A crashing program must end (and fail its test) at once, not wait in Wine's debugger.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d "" /f >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.vt9-ready"
fi
# Keep the server and Wine's own system processes alive between test programs: a start then
# costs milliseconds, not half a second. They are started here with their output detached,
# since a system process started by a test would inherit the test's output pipe and keep its
# runner waiting. The runner's cleanup step stops them (wine-prefix.sh --stop); should it never
# run (an interrupted run), the server still ends after ten idle minutes with no program of
# the prefix running.
wineserver -p600 </dev/null >/dev/null 2>&1 || true  # one may already be running
wine wineboot </dev/null >/dev/null 2>&1
