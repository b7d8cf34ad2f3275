#!/bin/sh
# The real Pelk.exe, without the recording layer: "/slam /poff" with no prompt
# writes its "Log Off" line, saves its settings when Windows asks whether the
# session may end, and really ends the Wine session (a witness program goes too).
# Arguments: the Wine wrapper, the folder holding Pelk.exe.
set -eu
WINE_RUN=$1
BIN=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$BIN/Pelk.exe" "$work/"

# The default settings with the command line's prompt switched off (offset 640).
perl -e '
  my $s = "Mr Computer" . ("\0" x (600 - 11));
  my @w = (97,1,5,3,1,3,5,3,5,5,0,2,1,60,3,120,0,1,0,1,1,0,0,0,1,0,0,0,0);
  $s .= pack("V*", @w) . pack("l<l<", 0, 0) . pack("V*", 1,1,1,0,0,0,0,120) . ("\0" x 244);
  length($s) == 1000 or die "record is " . length($s);
  print "Pelk1300", $s;
' > "$work/dPelk.dat"

"$WINE_RUN" notepad >/dev/null 2>&1 &
witness=$!
sleep 3
kill -0 "$witness" || { echo "FAIL: the witness program did not start"; exit 1; }

cd "$work"
if ! timeout 120 "$WINE_RUN" Pelk.exe /slam /poff; then
  echo "FAIL: Pelk.exe did not end with the session"; exit 1
fi

fail=0
log=$(cat dLog.txt 2>/dev/null || true)
printf '%s' "$log" | head -c 19 | grep -q "Pelk v1.3 Log" || { echo "FAIL: no log header"; fail=1; }
printf '%s' "$log" | tail -n 1 | grep -q ' : Log Off' || { echo "FAIL: no Log Off line: $log"; fail=1; }
size=$(stat -c %s dPelk.dat 2>/dev/null || echo 0)
[ "$size" -eq 1008 ] || { echo "FAIL: dPelk.dat is $size bytes"; fail=1; }
[ "$(head -c 8 dPelk.dat)" = "Pelk1300" ] || { echo "FAIL: dPelk.dat header"; fail=1; }
[ ! -e dPelk.new ] || { echo "FAIL: temporary settings file left behind"; fail=1; }

for _ in 1 2 3 4 5 6 7 8 9 10; do
  kill -0 "$witness" 2>/dev/null || break
  sleep 1
done
if kill -0 "$witness" 2>/dev/null; then
  echo "FAIL: the session did not end: the witness program still runs"; kill "$witness"; fail=1
fi
[ $fail -eq 0 ] && echo "PASS: Log Off logged, settings saved, session ended"
exit $fail
