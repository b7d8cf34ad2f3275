#!/bin/sh
# Builds and starts Pelk.exe under Wine, in a virtual desktop with a taskbar and a
# notification area: the 32-bit Pelk where this machine runs 32-bit programs, else
# the 64-bit one. Without an X display it runs on a private virtual display (Xvfb):
# nothing is seen, but Pelk runs, writes its files and can be driven with Wine's
# tools; Ctrl+C ends it.
set -eu
cd "$(dirname "$0")/.."
build=$(sh scripts/pick-build.sh)
cmake --preset $build >/dev/null
cmake --build --preset $build
if [ $build = win32 ]; then
  echo "Starting the 32-bit Pelk (build/win32/bin/Pelk.exe) under 32-bit Wine."
else
  echo "Starting the 64-bit Pelk (build/win64/bin/Pelk.exe) under 64-bit Wine:" \
    "$(sh scripts/wine-probe.sh /usr/lib/wine/wine)."
fi
export PELK_WINEPREFIX="$PWD/build/$build/run-prefix"
mkdir -p build/run
cp build/$build/bin/Pelk.exe build/$build/bin/ReadMe.htm build/run/
cd build/run
run=../$build/wine-run
if [ -z "${DISPLAY:-}" ]; then
  echo "No X display: Pelk runs on a virtual Xvfb display (invisible). Press Ctrl+C to end it."
  exec xvfb-run -a -s "-screen 0 1024x768x24" $run explorer /desktop=Pelk,1024x768 Pelk.exe "$@"
fi
echo "Pelk runs in the Wine desktop window \"Pelk\"; its icon is in that desktop's tray."
exec $run explorer /desktop=Pelk,1024x768 Pelk.exe "$@"
