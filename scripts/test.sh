#!/usr/bin/env bash
# Installs what is missing, builds both trees and runs every test:
# native unit tests, then the Windows build's tests under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j"$(nproc)"
ctest --test-dir build/native --output-on-failure

cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j"$(nproc)"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build/win32 --output-on-failure
