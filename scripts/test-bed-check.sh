#!/usr/bin/env bash
# Run by CTest after the cleanup steps of a Windows tree: fails when the tree's print server
# or any Wine process of its prefix (server, desktop, programs) is still running.
# Usage: test-bed-check.sh PREFIX PRINT_SERVER_DIR
set -euo pipefail
here=$(dirname "$0")
. "$here/wine-env.sh"
status=0
if left=$("$here/print-server.sh" running "$2"); then
  echo "the print server is still running:"
  echo "$left"
  status=1
fi
# The server ends its processes within moments of its own cleanup step.
for _ in $(seq 50); do
  left=$(vt9_prefix_processes "$1")
  [ -z "$left" ] && break
  sleep 0.1
done
if [ -n "$left" ]; then
  echo "Wine processes of $1 are still running:"
  echo "$left"
  status=1
fi
[ $status -eq 0 ] && echo "no print server and no Wine process of $1 left"
exit $status
