#!/bin/sh
# The real Pelk.exe, without the recording layer: "/slam /poff" with no prompt
# logs its "Log Off" line, saves its settings when Windows asks whether the
# session may end, and really ends the Wine session (a witness program goes too).
# Arguments: the Wine wrapper, the folder holding Pelk.exe.
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$2/Pelk.exe" "$work/"
# The defaults with the command line's prompt switched off (offset 640).
perl -e '
  my $s = "Mr Computer" . ("\0" x 589) . pack("V*", 97,1,5,3,1,3,5,3,5,5,0,2,1,60,3,120,0,1,0,1,1,0,0,0,1,0,0,0,0);
  print "Pelk1300", $s, pack("V*", 0,0,1,1,1,0,0,0,0,120), "\0" x 244;
' > "$work/dPelk.dat"
"$1" notepad >/dev/null 2>&1 &
witness=$!
sleep 3
cd "$work"
timeout 120 "$1" Pelk.exe /slam /poff || { echo "FAIL: Pelk.exe did not end with the session"; exit 1; }
fail=0
head -c 19 dLog.txt | grep -q "Pelk v1.3 Log" && tail -n 1 dLog.txt | grep -q ' : Log Off' || { echo "FAIL: log"; fail=1; }
[ "$(stat -c %s dPelk.dat)" -eq 1008 ] && [ "$(head -c 8 dPelk.dat)" = "Pelk1300" ] || { echo "FAIL: dPelk.dat"; fail=1; }
[ ! -e dPelk.new ] || { echo "FAIL: temporary settings file left behind"; fail=1; }
for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$witness" 2>/dev/null && sleep 1; done
! kill -0 "$witness" 2>/dev/null || { echo "FAIL: the session did not end"; kill "$witness"; fail=1; }
[ $fail -eq 0 ] && echo "PASS: Log Off logged, settings saved, session ended"
exit $fail
