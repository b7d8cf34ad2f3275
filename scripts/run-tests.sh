#!/bin/sh
# Runs every test layer in one ctest pass over the three build trees (portable
# native, portable sanitized, Win32 under Wine), inside a virtual X display.
set -eu
cd "$(dirname "$0")/.."

cat > build/CTestTestfile.cmake <<'LIST'
subdirs("native" "sanitize" "win32")
LIST

export WINEPREFIX="$PWD/build/win32/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

exec xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  # A new prefix is set up whole first: wineboot returns while the set-up still
  # runs, and the tests would race it; the server ends when it is done.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix (first run only)..."
    wineboot -u >/dev/null 2>&1 || true
    wineserver -w
  fi
  # Then one Wine server for the whole run: a server started by a program ends
  # seconds after its last client, and each test would wait on a fresh one.
  wineserver -p
  # Xvfb has no window manager: unmanaged windows close without a 2-second wait.
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1 || true
  status=0
  ctest --test-dir build -j2 --output-on-failure --timeout 300 || status=$?
  wineserver -k || true
  exit $status
'
