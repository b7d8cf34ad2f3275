#!/bin/sh
# Installs, from Debian's packages, whatever the build and the tests need and this
# machine lacks, and the packages named as arguments. Needs root or sudo; does
# nothing when everything is present.
set -eu

# Both Windows builds: the mingw-w64 compilers for 32-bit and 64-bit Windows, and both
# halves of Wine (the 32-bit one starts only where the kernel runs 32-bit programs) with
# its fonts: those Windows has (Tahoma, the caption buttons' Marlett), which the labels
# are measured in.
PACKAGES="make cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev googletest
gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
wine wine32:i386 wine64 fonts-wine xvfb xauth nsis zip unzip libxml2-utils wixl msitools python3 python3-yaml $*"

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
echo "Installed."
