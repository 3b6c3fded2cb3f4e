#!/usr/bin/env bash
# The install script's decisions, against a fake package system: apt-get, dpkg and dpkg-query
# come first on PATH and keep their state (installed packages, architectures, the calls made)
# in a folder of their own; the 32-bit probe is a command that exits as the real one would.
#   tests/scripts/install_deps_test.sh [install script]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
script=${1:-$here/../../scripts/install-deps.sh}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# --- the fake package system ------------------------------------------------------------------
mkdir -p "$work/bin"
cat >"$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
# dpkg-query -W -f=FORMAT PACKAGE
echo "dpkg-query $*" >>"$FAKE/calls"
pkg=${!#}
grep -qxF -- "$pkg" "$FAKE/installed" && { printf 'install ok installed'; exit 0; }
echo "dpkg-query: no packages found matching $pkg" >&2
exit 1
EOF
cat >"$work/bin/dpkg" <<'EOF'
#!/usr/bin/env bash
echo "dpkg $*" >>"$FAKE/calls"
case $1 in
  --print-foreign-architectures) cat "$FAKE/arches" ;;
  --add-architecture) echo "$2" >>"$FAKE/arches" ;;
  *) exit 2 ;;
esac
EOF
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$FAKE/calls"
[ -z "${DEBIAN_FRONTEND:-}" ] && [ "$1" = install ] && { echo "E: asked a question" ; exit 1; }
case $1 in
  update)
    failures=$(cat "$FAKE/update-failures")
    if [ "$failures" -gt 0 ]; then
      echo $((failures - 1)) >"$FAKE/update-failures"
      echo "E: Failed to fetch http://security.example/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?"
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
      exit 100
    fi ;;
  install)
    shift
    pkgs=()
    for a in "$@"; do [[ $a == -* ]] || pkgs+=("$a"); done
    for p in "${pkgs[@]}"; do
      if grep -qxF -- "$p" "$FAKE/unavailable"; then
        echo "Some packages could not be installed."
        echo " $p : Depends: something but it is not going to be installed"
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
      fi
    done
    printf '%s\n' "${pkgs[@]}" >>"$FAKE/installed" ;;
  *) exit 2 ;;
esac
EOF
printf '#!/bin/sh\nexit 42\n' >"$work/bin/probe-runs-32bit"
printf '#!/bin/sh\nexit 126\n' >"$work/bin/probe-no-32bit"
chmod +x "$work/bin/"*

# What every host needs to build and run the Wine tests (a sample: the list may grow).
essential="cmake g++ libgtest-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb xdotool imagemagick cups printer-driver-cups-pdf poppler-utils"
i386_packages="wine32:i386 libcups2:i386"

# host KIND [installed...]: a fresh fake host; KIND is 32 (runs 32-bit code) or 64
host() {
  export FAKE=$work/host
  rm -rf "$FAKE" && mkdir -p "$FAKE"
  : >"$FAKE/calls"; : >"$FAKE/arches"; : >"$FAKE/unavailable"; echo 0 >"$FAKE/update-failures"
  printf '%s\n' "${@:2}" >"$FAKE/installed"
  probe=$work/bin/probe-no-32bit
  [ "$1" = 32 ] && probe=$work/bin/probe-runs-32bit
}

# run [args...]: the script on the fake host; sets $rc, $err (its standard error)
run() {
  rc=0
  err=$(PATH="$work/bin:$PATH" VT9_SUDO="" VT9_PROBE_32BIT=$probe VT9_APT_RETRIES=${retries:-3} \
    VT9_APT_RETRY_DELAY=0 bash "$script" "$@" 2>&1 >/dev/null) || rc=$?
}

installs() {  # the packages of every install call, options left out
  awk '$1 == "apt-get" && $2 == "install" { for (i = 3; i <= NF; i++) if ($i !~ /^-/) printf "%s%s", n++ ? " " : "", $i } END { print "" }' "$FAKE/calls"
}
count() { grep -c -- "$1" "$FAKE/calls"; }
check() {  # check DESCRIPTION CONDITION...
  local what=$1; shift
  if ! "$@"; then
    echo "FAIL [$case_name] $what"
    echo "  stderr: $err"
    sed 's/^/  call: /' "$FAKE/calls" | cut -c1-200
    failures=$((failures + 1))
  fi
}
has_word() { [[ " $(echo $1) " == *" $2 "* ]]; }
lacks_word() { ! has_word "$1" "$2"; }
one_line() { [ "$(printf '%s' "$1" | grep -c '')" -eq 1 ]; }

# --- the decisions ----------------------------------------------------------------------------
case_name="fresh 64-bit host: amd64 packages only, no i386 architecture"
host 64
run
check "exit 0" [ $rc -eq 0 ]
check "one install" [ "$(count 'apt-get install')" -eq 1 ]
amd64_packages=$(installs)
for p in $essential; do check "installs $p" has_word "$amd64_packages" "$p"; done
check "no i386 package" [ -z "$(tr ' ' '\n' <<<"$amd64_packages" | grep ':i386')" ]
check "no architecture added" [ "$(count add-architecture)" -eq 0 ]
check "says why the 32-bit packages are left out" one_line "$err"
check "names the left-out packages" grep -q 'wine32:i386' <<<"$err"
case_name="fresh 64-bit host, second run: nothing to do"
: >"$FAKE/calls"
run
check "exit 0" [ $rc -eq 0 ]
check "no apt-get call" [ "$(count apt-get)" -eq 0 ]
check "silent" [ -z "$err" ]

case_name="complete 32-bit host: nothing to do, apt untouched"
host 32 $amd64_packages $i386_packages
run
check "exit 0" [ $rc -eq 0 ]
check "no apt-get call" [ "$(count apt-get)" -eq 0 ]
check "no architecture added" [ "$(count add-architecture)" -eq 0 ]
check "silent" [ -z "$err" ]

case_name="fresh 32-bit host: i386 architecture added before the update, all installed"
host 32
run
check "exit 0" [ $rc -eq 0 ]
check "architecture added" grep -qx i386 "$FAKE/arches"
check "added before the update" \
  [ "$(grep -n -m1 add-architecture "$FAKE/calls" | cut -d: -f1)" -lt "$(grep -n -m1 'apt-get update' "$FAKE/calls" | cut -d: -f1)" ]
for p in $amd64_packages $i386_packages; do check "installs $p" grep -qxF "$p" "$FAKE/installed"; done
check "silent" [ -z "$err" ]
case_name="32-bit host with the i386 architecture already there: not added twice"
host 32 $amd64_packages
echo i386 >"$FAKE/arches"
run
check "no architecture added" [ "$(count add-architecture)" -eq 0 ]
check "installs only the i386 packages" [ "$(installs)" = "$i386_packages" ]

case_name="extra packages named by a benchmark script"
host 64 $amd64_packages
run enscript time
check "exit 0" [ $rc -eq 0 ]
check "installs just the extras" [ "$(installs)" = "enscript time" ]

case_name="update fails twice, then works: three attempts, no complaint"
host 64
echo 2 >"$FAKE/update-failures"
run
check "exit 0" [ $rc -eq 0 ]
check "three updates" [ "$(count 'apt-get update')" -eq 3 ]
check "only the 64-bit note" one_line "$err"

case_name="update fails every time: the set number of attempts, then the install goes on"
host 64
echo 99 >"$FAKE/update-failures"
retries=4 run
check "exit 0" [ $rc -eq 0 ]
check "four updates" [ "$(count 'apt-get update')" -eq 4 ]
check "installs anyway" [ "$(count 'apt-get install')" -eq 1 ]
check "only the 64-bit note" one_line "$err"

case_name="broken i386 index on a 32-bit host: amd64 installed, one line about i386"
host 32
echo 99 >"$FAKE/update-failures"
printf '%s\n' $i386_packages >"$FAKE/unavailable"
run
check "exit 0" [ $rc -eq 0 ]
for p in $amd64_packages; do check "installs $p" grep -qxF "$p" "$FAKE/installed"; done
check "one line" one_line "$err"
check "names both i386 packages" grep -q 'wine32:i386 libcups2:i386' <<<"$err"
check "gives apt's reason" grep -q 'held broken packages' <<<"$err"
check "names the failed index" grep -q 'Mirror sync in progress' <<<"$err"
check "says the 32-bit Wine tests are skipped" grep -q '32-bit Wine tests will be skipped' <<<"$err"

case_name="a needed package cannot be had: exit non-zero, one line naming it and why"
host 64
echo 99 >"$FAKE/update-failures"
echo xdotool >"$FAKE/unavailable"
run
check "fails" [ $rc -ne 0 ]
check "i386 packages not tried" lacks_word "$(installs)" wine32:i386
last=$(printf '%s\n' "$err" | tail -n 1)
check "one line for the failure" [ "$(grep -c 'cannot install' <<<"$err")" -eq 1 ]
check "names the package" grep -q 'cannot install .*xdotool' <<<"$last"
check "gives apt's reason" grep -q 'held broken packages' <<<"$last"
check "names the failed index" grep -q 'Mirror sync in progress' <<<"$last"

case_name="--runs-32bit answers from the probe and installs nothing"
host 32
run --runs-32bit
check "yes on a 32-bit host" [ $rc -eq 0 ]
host 64
run --runs-32bit
check "no on a 64-bit host" [ $rc -ne 0 ]
check "nothing called" [ ! -s "$FAKE/calls" ]

if [ $failures -gt 0 ]; then
  echo "$failures checks failed"
  exit 1
fi
echo "all install decisions as expected"
