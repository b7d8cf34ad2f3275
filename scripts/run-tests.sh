#!/bin/sh
# Runs every test layer in one ctest pass over the build trees: the portable core
# (native and sanitized) and the two Windows builds. The whole-program tests of a
# Windows build run under Wine of its width wherever that Wine starts on this
# machine (the build found that out when it was configured); the 32-bit Pelk.exe is
# also checked without running it. Those tests run in two lanes, each a Wine prefix
# with its own server and virtual X display, so that two run side by side without
# sharing a single-instance mutex, a pointer or a focus: two lanes for each build
# tested, for the tests spend most of their time waiting on Wine, not on a processor.
set -eu
cd "$(dirname "$0")/.."
screen="-screen 0 1024x768x24"

if [ -z "${PELK_TEST_LANES_SET:-}" ]; then
  tested=""; left=""
  for build in win32 win64; do
    status=$(cat build/$build/wine-status)
    if [ "$status" = yes ]; then tested="$tested $build"; else left="$left; $build left out: $status"; fi
  done
  echo "Windows builds tested under Wine:${tested:- none}$left" > build/tested-builds.txt
  cat build/tested-builds.txt
  cat > build/CTestTestfile.cmake <<'LIST'
subdirs("native" "sanitize" "win32" "win64")
LIST
  set -- $tested
  case $# in
    1) PELK_LANES="$1:1 $1:2" ;;
    2) PELK_LANES="$1:1 $1:2 $2:1 $2:2" ;;
    *) PELK_LANES="" ;;
  esac
  export PELK_LANES PELK_TEST_LANES_SET=1
  exec xvfb-run -a -s "$screen" sh "$0"
fi

# Each build's tests are dealt to its lanes when ctest lists them.
for build in win32 win64; do
  export PELK_LANES_$build=$(echo "$PELK_LANES" | tr ' ' '\n' | grep -c "^$build:" || true)
done
displays=""
first=yes
for lane in $PELK_LANES; do
  build=${lane%:*}; export PELK_LANE=${lane#*:}
  run=build/$build/wine-run
  # The first lane uses the display of this run, every other one a display of its own.
  if [ $first = no ]; then
    rm -f build/$build/display-$PELK_LANE
    Xvfb -displayfd 3 $screen -nolisten tcp 3>build/$build/display-$PELK_LANE 2>/dev/null &
    displays="$displays $!"
    while [ ! -s build/$build/display-$PELK_LANE ]; do sleep 0.1; done
    export PELK_DISPLAY_${build}_$PELK_LANE=":$(cat build/$build/display-$PELK_LANE)"
  fi
  first=no
  prefix=build/$build/wineprefix
  [ $PELK_LANE = 1 ] || prefix=$prefix-$PELK_LANE
  # A new prefix is set up whole first: wineboot returns while the set-up still
  # runs, and the tests would race it; the server ends when it is done.
  if [ ! -f $prefix/system.reg ]; then
    echo "Preparing the Wine prefix $prefix (first run only)..."
    $run wineboot -u >/dev/null 2>&1 || true
    $run --server -w
  fi
  # Then one Wine server for the whole run: a server started by a program ends
  # seconds after its last client, and each test would wait on a fresh one. A
  # server that a cut-off run left behind goes first.
  $run --server -k >/dev/null 2>&1 || true
  $run --server -w
  $run --server -p
  # Xvfb has no window manager: unmanaged windows close without a 2-second wait.
  # This first program also starts Wine's services, here and not inside a test,
  # whose output they would hold open.
  $run reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1 || true
done
unset PELK_LANE
status=0
ctest --test-dir build -j5 --output-on-failure --timeout 300 || status=$?
for lane in $PELK_LANES; do PELK_LANE=${lane#*:} build/${lane%:*}/wine-run --server -k || true; done
[ -z "$displays" ] || kill $displays 2>/dev/null || true
cat build/tested-builds.txt
exit $status
