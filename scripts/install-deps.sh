#!/usr/bin/env bash
# Installs everything the builds, the Wine test bed and the demo need on Debian 12, plus any
# packages named as arguments (the benchmark scripts name what they need beyond that).
#   scripts/install-deps.sh [package...]
#   scripts/install-deps.sh --runs-32bit   only tells (exit status) whether this kernel runs 32-bit code
# Idempotent: packages already present are skipped, so a second run on a complete host costs
# a second.
#
# Wine's 32-bit part (wine32:i386, libcups2:i386) is of use only where the kernel runs 32-bit
# code, and Wine's loader is not installed yet to ask, so the script runs a minimal 32-bit
# program of its own first (it exits with 42) and adds the i386 architecture only where it ran.
# A package mirror in the middle of a sync breaks single indexes: `apt-get update` is retried and
# then goes on with the indexes it has; if the i386 packages still cannot be had the rest is
# installed and the Wine tests run on the 64-bit tree. A package the host needs that cannot be
# had stops the script with one line naming it and apt's reason.
#
# For the test of these decisions (tests/scripts/install_deps_test.sh) every outside command can
# be replaced: apt-get, dpkg and dpkg-query are found on PATH, and
#   VT9_SUDO               the prefix for commands that need root (default: sudo unless root)
#   VT9_PROBE_32BIT        a command run instead of the 32-bit program (42 means it ran)
#   VT9_APT_RETRIES        attempts of `apt-get update` (default 3)
#   VT9_APT_RETRY_DELAY    seconds between them (default 5)
set -euo pipefail

need=(cmake g++ make libgtest-dev googletest clang
      g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686
      g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
      wine wine64 fonts-wine fonts-liberation
      xvfb xauth x11-utils xdotool imagemagick
      cups printer-driver-cups-pdf ghostscript poppler-utils libcups2
      locales  # the sources of the Japanese locale a viewer test runs in
      "$@")
need_i386=(wine32:i386 libcups2:i386)
retries=${VT9_APT_RETRIES:-3}
delay=${VT9_APT_RETRY_DELAY:-5}

say() { echo "install-deps: $*" >&2; }

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# True when this kernel runs 32-bit x86 code: a 93-byte i386 ELF whose only instructions are
# exit(42). Written where it may be executed (a temp folder mounted noexec is tried past).
runs_32bit() {
  if [ -n "${VT9_PROBE_32BIT:-}" ]; then
    local rc=0
    $VT9_PROBE_32BIT >/dev/null 2>&1 || rc=$?
    [ "$rc" -eq 42 ]
    return
  fi
  local dir probe rc
  for dir in "${TMPDIR:-/tmp}" "$(dirname "$0")/../build" "${HOME:-}"; do
    [ -d "$dir" ] && [ -w "$dir" ] || continue
    probe=$(mktemp "$dir/vt9-probe32.XXXXXX") || continue
    printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\xb3\x2a\x31\xc0\x40\xcd\x80' >"$probe"
    chmod 700 "$probe"
    rc=0
    "$probe" >/dev/null 2>&1 || rc=$?
    rm -f "$probe"
    [ "$rc" -eq 42 ] && return 0
    [ "$rc" -ne 126 ] && return 1  # 126: not executable here (noexec), try the next folder
  done
  return 1
}

# apt's own words for why it failed: its first or last error line, else its last line.
#   apt_reason LOG head|tail
apt_reason() {
  local reason
  reason=$(grep -E '^E: ' "$1" | "$2" -n 1 | sed 's/^E: //; s/[.[:space:]]*$//' || true)
  [ -n "$reason" ] || reason=$(grep -v '^[[:space:]]*$' "$1" | tail -n 1 || true)
  echo "${reason:-apt-get gave no reason}"
}

if [ "${1:-}" = --runs-32bit ]; then
  runs_32bit
  exit
fi

missing=()
for p in "${need[@]}"; do installed "$p" || missing+=("$p"); done
missing_i386=()
host32=no
if runs_32bit; then
  host32=yes
  for p in "${need_i386[@]}"; do installed "$p" || missing_i386+=("$p"); done
fi
[ ${#missing[@]} -eq 0 ] && [ ${#missing_i386[@]} -eq 0 ] && exit 0
[ $host32 = no ] && say "this kernel runs no 32-bit code: ${need_i386[*]} are left out, the Wine tests will run on the 64-bit tree."

if [ -n "${VT9_SUDO+set}" ]; then
  SUDO=$VT9_SUDO
else
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT

if [ ${#missing_i386[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

# A failing index (say the i386 security index while the mirror syncs) leaves the others read;
# whether what is needed can be had shows at the install, and a failure there names the index.
update_failure=""
attempt=1
until $SUDO apt-get update -qq >"$log" 2>&1; do
  if [ "$attempt" -ge "$retries" ]; then
    update_failure="; apt-get update failed $attempt times: $(apt_reason "$log" head)"
    break
  fi
  attempt=$((attempt + 1))
  sleep "$delay"
done

apt_install() {
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >"$log" 2>&1
}

if [ ${#missing[@]} -gt 0 ] && ! apt_install "${missing[@]}"; then
  say "cannot install ${missing[*]}: $(apt_reason "$log" tail)$update_failure"
  exit 1
fi
if [ ${#missing_i386[@]} -gt 0 ] && ! apt_install "${missing_i386[@]}"; then
  say "the 32-bit packages ${missing_i386[*]} could not be installed ($(apt_reason "$log" tail)$update_failure); the 32-bit Wine tests will be skipped, the 64-bit ones run."
fi
exit 0
