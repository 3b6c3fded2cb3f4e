#!/usr/bin/env bash
# Makes the README's pictures (docs/images/*.png) from the screenshots the Wine tests keep, so
# they can be made again after a change to a window:
#   scripts/make-readme-pictures.sh [--run] [build tree]
# The tree defaults to the one the test command uses on this host (build/win32 where the kernel
# runs 32-bit code, else build/win64). With --run the tests that take the screenshots run first
# (on a virtual display); without it their last screenshots are used.
# Each picture is the test's full-screen screenshot cut to its windows: the empty desktop around
# them (black, reached from the corner) becomes transparent and is trimmed; then scaled
# (VT9_PICTURE_SCALE, default 100 %, as the windows are small already) and reduced to a
# palette of 128 colours.
set -euo pipefail
cd "$(dirname "$0")/.."
run=""
[ "${1:-}" = --run ] && { run=1; shift; }
. scripts/wine-env.sh
tree=${1:-build/$(vt9_preferred_arch)}
scale=${VT9_PICTURE_SCALE:-100}
tests='ui_viewer_log_view_test|ui_viewer_filter_big_test|ui_backup_now_reminder_test|ui_backup_now_start_test'

# picture in docs/images  <-  screenshot in the tree's artifacts (and the test that takes it)
pictures=(
  "viewer.png viewer-big-log-end.png"
  "viewer-filter.png viewer-filter-pane.png"
  "backup-now-reminder.png backup_now_reminder.png"
  "backup-now.png backup_now_plain.png"
)

if [ -n "$run" ]; then
  case $tree in *win64*) vt9_wine_env win64 ;; *) vt9_wine_env win32 ;; esac
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$tree" -R "$tests" --output-on-failure
fi

mkdir -p docs/images
for pair in "${pictures[@]}"; do
  read -r picture shot <<<"$pair"
  source=$tree/artifacts/$shot
  if [ ! -f "$source" ]; then
    echo "make-readme-pictures: $source is missing; run the tests that take it:" >&2
    echo "  $0 --run $tree" >&2
    exit 1
  fi
  convert "$source" -alpha set -fill none -fuzz 0 -draw 'color 0,0 floodfill' -trim +repage \
    -resize "$scale%" -colors 128 -strip -define png:exclude-chunks=date,time "PNG8:docs/images/$picture"
  echo "docs/images/$picture $(identify -format '%wx%h' "docs/images/$picture") $(stat -c %s "docs/images/$picture") bytes"
done
