#!/usr/bin/env bash
# The viewer following a growing log under Wine (bench_follow.exe, see wine_main.cpp), and the
# document's growth step and index memory natively (follow-bench, see main.cpp).
# Usage: bench/follow/run.sh [MB=1024] [SECONDS=60] [RATE=20]
#        (after the Windows build: build/win32, or VT9_BIN=build/win64/bin)
set -euo pipefail
cd "$(dirname "$0")/../.."
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$PWD/bench/follow/run.sh" "$@"
fi
bin=${VT9_BIN:-build/win32/bin}
arch=win32
case $bin in *win64*) arch=win64 ;; esac
. scripts/wine-env.sh
vt9_wine_env "$arch"
export WINEPREFIX=$PWD/build/bench-wineprefix-$arch WINEDEBUG=-all
trap 'vt9_wine_stop "$WINEPREFIX" || true' EXIT
scripts/wine-prefix.sh "$WINEPREFIX" "$arch" >/dev/null
wine "$bin/bench_follow.exe" "$@"
if [ -x build/native/follow-bench ]; then build/native/follow-bench "${1:-1024}"; fi
