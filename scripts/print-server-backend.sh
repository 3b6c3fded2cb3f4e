#!/bin/sh
# The test print server's backend (installed by print-server.sh as bin/backend/vt9pdf): turns
# each job's PostScript into DIR/pdf/<title>-job_<id>.pdf with Ghostscript. The file is written
# under a hidden name and renamed when complete, so whoever sees it may read it at once.
# CUPS calls a backend with: job-id user title copies options [file]; without arguments it
# asks what devices the backend offers.
if [ $# -eq 0 ]; then
  echo 'file vt9pdf:/ "PDF files" "PDF files in the test build tree"'
  exit 0
fi
if [ $# -lt 5 ]; then
  echo "Usage: vt9pdf job-id user title copies options [file]" >&2
  exit 1
fi
umask 022
out=$(cd "$(dirname "$0")/../.." && pwd)/pdf
job=$1
# A title is any text; only the path separator cannot be part of a file name.
name=$(printf '%s' "$3" | tr '/' '_')
[ -n "$name" ] || name=untitled
input=${6:--}
final="$out/$name-job_$job.pdf"
partial="$out/.job_$job.partial"
if gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile="$partial" "$input" >&2; then
  mv -f "$partial" "$final"
  echo "INFO: wrote $final" >&2
  exit 0
fi
rm -f "$partial"
echo "ERROR: Ghostscript could not convert job $job" >&2
exit 1  # CUPS_BACKEND_FAILED
