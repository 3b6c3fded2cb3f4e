#!/usr/bin/env bash
# Installs what is missing, builds every tree and runs every test: native unit tests, then the
# Windows builds' tests under Wine on a virtual display. The shipped 32-bit tree (build/win32) and
# a 64-bit tree of the same sources (build/win64) are always built; the Wine tests run on the
# 64-bit tree always, and on the 32-bit tree too where this kernel runs 32-bit code (set
# VT9_SKIP_WIN32=1 to run the 64-bit path alone on any host).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
. scripts/wine-env.sh

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j"$(nproc)"
ctest --test-dir build/native --output-on-failure

for arch in win32 win64; do
  toolchain=cmake/mingw-i686.cmake
  [ "$arch" = win64 ] && toolchain=cmake/mingw-x86_64.cmake
  cmake -S . -B "build/$arch" -DCMAKE_TOOLCHAIN_FILE=$toolchain -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "build/$arch" -j"$(nproc)"
done

if [ -n "${VT9_SKIP_WIN32:-}" ]; then
  echo "Host check: VT9_SKIP_WIN32 is set, so the Wine tests run on the 64-bit tree only."
  paths=(win64)
elif vt9_host_runs_32bit; then
  echo "Host check: this kernel runs 32-bit code; the Wine tests run on the 32-bit and the 64-bit tree."
  paths=(win32 win64)
elif scripts/install-deps.sh --runs-32bit; then
  echo "Host check: this kernel runs 32-bit code, but Wine's 32-bit part (wine32:i386) is not installed (the install step above says why); the Wine tests run on the 64-bit tree only."
  paths=(win64)
else
  echo "Host check: this kernel cannot run 32-bit code (Wine's 32-bit loader fails); the Wine tests run on the 64-bit tree only."
  paths=(win64)
fi

status=0
if [[ " ${paths[*]} " != *" win32 "* ]]; then
  # The shipped executable's import table is checked without Wine, on every host.
  ctest --test-dir build/win32 -R '^VT9Now_imports_only_base_libraries$' --output-on-failure || status=1
fi
for arch in "${paths[@]}"; do
  echo "Wine tests of build/$arch:"
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "build/$arch" --output-on-failure || status=1
done
exit $status
