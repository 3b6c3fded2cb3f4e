#!/usr/bin/env bash
# Installs everything the builds, the Wine test bed and the demo need on Debian 12.
# Idempotent: packages already present are skipped, so a second run costs a second.
set -euo pipefail

need=(cmake g++ make libgtest-dev googletest clang
      g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686
      g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
      wine wine32:i386 wine64 fonts-wine fonts-liberation
      xvfb xauth x11-utils xdotool imagemagick
      cups printer-driver-cups-pdf ghostscript poppler-utils libcups2 libcups2:i386
      locales)  # the sources of the Japanese locale a viewer test runs in

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
