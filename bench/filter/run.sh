#!/bin/sh
# Builds the native tree, generates the log in memory (default 1024 MB) and prints the filter's
# figures. Usage: bench/filter/run.sh [megabytes]
set -e
cd "$(dirname "$0")/../.."
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j2 --target filter-bench log-document-bench >/dev/null
build/native/filter-bench "${1:-1024}"
