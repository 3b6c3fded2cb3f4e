#!/usr/bin/env bash
# Installs what is missing, builds the Windows tree, prepares a demo Wine prefix with sample
# settings and job files, and opens the tool as the backup reminder would at logon.
# With $DISPLAY set the window opens there; without one it runs on a virtual display and a
# screenshot is saved to demo/reminder.png.
# "scripts/demo.sh viewer" opens the log viewer on a demo backup log instead (demo/viewer.png).
# The shipped 32-bit tool runs where the kernel runs 32-bit code; elsewhere (or with
# VT9_SKIP_WIN32 set) the 64-bit build of the same sources, in a 64-bit prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-reminder}
if [ -z "${VT9_DEMO_SCREENSHOT:-}" ]; then  # the inner run on a virtual display has built already
  scripts/install-deps.sh
fi
. scripts/wine-env.sh
arch=$(vt9_preferred_arch)
vt9_wine_env "$arch"
if [ -z "${VT9_DEMO_SCREENSHOT:-}" ]; then
  toolchain=cmake/mingw-i686.cmake
  [ "$arch" = win64 ] && toolchain=cmake/mingw-x86_64.cmake
  cmake -S . -B "build/$arch" -DCMAKE_TOOLCHAIN_FILE=$toolchain -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "build/$arch" -j"$(nproc)" --target VT9Now vt9
fi

demo=$PWD/demo
# A prefix is of one kind for good: each kind of tool gets its own.
export WINEPREFIX=$demo/wineprefix-$arch WINEDEBUG=-all
mkdir -p "$demo/Vantory 9" "$demo/data/SysData" "$demo/backups"
cp "build/$arch/bin/VT9Now.exe" "build/$arch/bin/vt9.exe" "$demo/Vantory 9/"
printf '[Parms]\r\nBackupFolder=Z:%s\\\r\nLastBackupName=\r\n' "$(echo "$demo/backups/Documents" | tr / '\\')" >"$demo/data/SysData/Documents.jdf"
printf '[Parms]\r\nBackupFolder=\r\nLastBackupName=Z:%s\r\n' "$(echo "$demo/backups/Photos/Photos-2026.zip" | tr / '\\')" >"$demo/data/SysData/Photos.jdf"
printf '[Parms]\r\n' >"$demo/data/SysData/Mail Archive.jdf"

run_demo() {
  # The prefix's server, desktop and the tool end with the demo, however it ends.
  trap 'vt9_wine_stop "$WINEPREFIX" || true' EXIT
  scripts/wine-prefix.sh "$WINEPREFIX" "$arch"
  local key='HKCU\Software\Corvane\VT9'
  wine reg delete "$key" /f >/dev/null 2>&1 || true
  wine reg add "$key" /v VT9DataPath /t REG_SZ /d "Z:$(echo "$demo/data" | tr / '\\')\\" /f >/dev/null
  wine reg add "$key" /v LastBackupName /t REG_SZ /d "Z:$(echo "$demo/backups/Documents/Documents-1.zip" | tr / '\\')" /f >/dev/null
  wine reg add "$key" /v LastBackupDate /t REG_SZ /d "$(date -d '-12 days' +%Y/%m/%d)" /f >/dev/null
  wine reg add "$key" /v ReminderDays /t REG_SZ /d 7 /f >/dev/null
  local exe="$demo/Vantory 9/VT9Now.exe"
  if [ "$mode" = viewer ]; then
    run_viewer_demo "$exe"
    return
  fi
  if [ "${VT9_DEMO_SCREENSHOT:-}" = 1 ]; then
    wine "$exe" '\CHECK' &
    local pid=$!
    sleep 4
    import -window root "$demo/reminder.png" && echo "Screenshot: $demo/reminder.png"
    kill "$pid" 2>/dev/null || true
  else
    wine "$exe" '\CHECK'
  fi
  echo "LastReminderDate is now: $(wine reg query "$key" /v LastReminderDate 2>/dev/null | awk '/REG_SZ/ {print $3}')"
  echo "The main program received: $(cat "$demo/Vantory 9/vt9-calls.log" 2>/dev/null || echo nothing)"
}

# The log viewer on a backup log with a few errors to find, "Open" offered on the log folder.
run_viewer_demo() {
  local exe=$1 logs="$demo/logs" log
  mkdir -p "$logs"
  log="$logs/Documents.Full.log"
  {
    printf 'Vantory 9 backup log\r\nJob "Documents" started %s 22:00:01\r\n' "$(date +%Y/%m/%d)"
    for i in $(seq 1 120); do
      printf '22:%02d:%02d  Copied C:\\Users\\Ann\\Documents\\Report %03d.docx\r\n' $((i / 60)) $((i % 60)) "$i"
      if [ $((i % 25)) -eq 0 ]; then printf '22:%02d:%02d  Error: file in use, skipped\r\n' $((i / 60)) $((i % 60)); fi
    done
    printf 'Job "Documents" ended with 4 errors\r\n'
  } >"$log"
  local winlog winlogs
  winlog="Z:$(echo "$log" | tr / '\\')"
  winlogs="Z:$(echo "$logs" | tr / '\\')"
  if [ "${VT9_DEMO_SCREENSHOT:-}" = 1 ]; then
    wine "$exe" '\V' "$winlog" "Documents - Backup Log" "$winlogs" &
    local pid=$!
    sleep 4
    import -window root "$demo/viewer.png" && echo "Screenshot: $demo/viewer.png"
    kill "$pid" 2>/dev/null || true
  else
    wine "$exe" '\V' "$winlog" "Documents - Backup Log" "$winlogs"
  fi
}

if [ -n "${DISPLAY:-}" ]; then
  run_demo
else
  # No display: run this same script on a virtual one and keep a screenshot.
  # The display server is not a process of the prefix: it does not carry WINEPREFIX.
  VT9_DEMO_SCREENSHOT=1 env -u WINEPREFIX xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
