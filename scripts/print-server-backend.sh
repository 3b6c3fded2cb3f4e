#!/bin/sh
# The test print server's backend (installed by print-server.sh as bin/backend/vt9pdf): turns
# each job's PostScript into DIR/pdf/<title>-job_<id>.pdf with Ghostscript, and keeps the
# PostScript it was given beside it (<title>-job_<id>.ps: what the printer driver spooled). Both
# are written under hidden names and renamed when complete, the PDF last, so whoever sees the PDF
# may read both at once.
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
ps="$out/.job_$job.ps"
if cat "$input" >"$ps" &&
  gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile="$partial" "$ps" >&2; then
  mv -f "$ps" "$out/$name-job_$job.ps"
  mv -f "$partial" "$final"
  echo "INFO: wrote $final" >&2
  exit 0
fi
rm -f "$partial" "$ps"
echo "ERROR: Ghostscript could not convert job $job" >&2
exit 1  # CUPS_BACKEND_FAILED
