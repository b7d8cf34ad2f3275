#!/bin/sh
# Starts the freshly built Pelk.exe under Wine, in a virtual desktop with a
# taskbar and a notification area. Without an X display it runs on a private
# virtual display (Xvfb): nothing is seen, but Pelk runs, writes its files and
# can be driven with Wine's tools; Ctrl+C ends it.
set -eu
cd "$(dirname "$0")/.."
export WINEPREFIX="$PWD/build/run-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p build/run
cp build/win32/bin/Pelk.exe build/win32/bin/ReadMe.htm build/run/
cd build/run
if [ -z "${DISPLAY:-}" ]; then
  echo "No X display: Pelk runs on a virtual Xvfb display (invisible). Press Ctrl+C to end it."
  exec xvfb-run -a -s "-screen 0 1024x768x24" wine explorer /desktop=Pelk,1024x768 Pelk.exe "$@"
fi
echo "Pelk runs in the Wine desktop window \"Pelk\"; its icon is in that desktop's tray."
exec wine explorer /desktop=Pelk,1024x768 Pelk.exe "$@"
