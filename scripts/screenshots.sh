#!/bin/sh
# Pictures of Pelk for the README, taken from the test build (which takes its battery
# readings from PowerReadings.ini) in a Wine virtual desktop of 1024 x 768 on a private
# X display, driven with mouse clicks at the places Wine draws things there; then a few
# again at 200% ("-200"), with Wine's DPI set to 192 for the prefix meanwhile and put
# back afterwards.
# Arguments: the folder of PelkTest.exe, the folder for the PNG files, the build's wine-run.
set -eu
bin=$(realpath "$1"); out=$(realpath "$2"); wine=$(realpath "$3"); work=$(mktemp -d)
desktop='HKCU\Control Panel\Desktop'
olddpi=$("$wine" reg query "$desktop" /v LogPixels 2>/dev/null | awk '$1 == "LogPixels" {print $3}' || true)
dpi() {  # sets Wine's DPI (as reg shows it, 0xc0, or 192) for the programs started next; "" removes it
  "$wine" --server -k 2>/dev/null || true; "$wine" --server -w
  if [ -n "$1" ]; then "$wine" reg add "$desktop" /v LogPixels /t REG_DWORD /d "$(printf %d "$1")" /f
  else "$wine" reg delete "$desktop" /v LogPixels /f; fi >/dev/null 2>&1 || true
}
trap 'dpi "$olddpi"; "$wine" --server -w; rm -rf "$work"' EXIT
cp "$bin/PelkTest.exe" "$work/"; cd "$work"
printf '[readings]\nacLine=1\nbatteryFlag=8\nbatteryPercent=80\n' > PowerReadings.ini
settings() {  # trayPromptMode, monitorEnabled, monitorShowMode [, monitorLocation: Free near the tray]
  perl -e 'my ($prompt, $monitor, $mode, $place) = (@ARGV, 4); print "Pelk1300", "Mr Computer", "\0" x 589,
    pack("V*", 97,$mode,5,3,$place,3,5,3,5,5,2,$prompt,1,60,3,120,0,1,0,1,1,0,0,$monitor,1,0,0,0,0),
    pack("l<l<", 880, 696), pack("V*", 1,1,1,0,0,0,0,120), "\0" x 244' "$@" > dPelk.dat
}
shot() {  # name [geometry]: a region of the screen, or the window on the plain desktop
  sleep 1.5
  if [ $# -gt 1 ]; then import -window root -crop "$2" +repage "$out/$1.png"
  else import -window root png:- | convert - -crop "1024x$desk+0+0" -fuzz 3% -trim +repage "$out/$1.png"; fi
}
desk=740  # the desktop above the taskbar
click() { xdotool mousemove "$1" "$2" click 1 sleep 0.5; }
menu() { xdotool mousemove 1013 757 click 3 sleep 1; click 900 "$1"; }  # an item of the tray menu
settings 1 0 1
"$wine" explorer /desktop=Pelk,1024x768 PelkTest.exe >/dev/null 2>&1 &
sleep 8
# The sheet opens in the middle of the screen, its seven tabs in two rows: a tab of the
# upper row brings its row down to the page.
shot options-tray
for tab in command:467,296 idle:554,296 battery:626,296 misc:397,278 watch:509,296 clock:623,296; do
  xy=${tab#*:}; click "${xy%,*}" "${xy#*,}"; shot "options-${tab%:*}"
done
click 643 509
xdotool mousemove 1013 757 click 3 sleep 1 mousemove 900 618; shot tray-menu 424x300+600+468; click 600 200
menu 712; shot prompt-confirm; click 548 456
menu 678; shot schedule; click 556 450
menu 618; shot about; click 636 548
menu 755; sleep 2
settings 2 1 1
"$wine" explorer /desktop=Pelk,1024x768 PelkTest.exe /q >/dev/null 2>&1 &
sleep 6; shot monitor 224x100+800+668
menu 712; shot prompt-warn 444x223+290+272; click 548 456
menu 755; sleep 2

# At 200%: the tray icon moves with the taller taskbar and the menu's items with the
# larger font; the dialogs are answered with keys.
dpi 192; desk=728
menu() { xdotool mousemove 1005 750 click 3 sleep 1; click 850 "$1"; }
settings 1 0 1
"$wine" explorer /desktop=Pelk,1024x768 PelkTest.exe >/dev/null 2>&1 &
sleep 8; shot options-tray-200; xdotool key Escape sleep 1
xdotool mousemove 1005 750 click 3 sleep 1 mousemove 850 511; shot tray-menu-200 340x300+684+468; click 600 200
menu 674; shot prompt-confirm-200; xdotool key Escape sleep 0.5
menu 750; sleep 2  # no About box: its 226 dialog units are more than 768 pixels at 200%
settings 2 1 1 3  # the monitor in the work area's bottom right corner, above the taskbar
"$wine" explorer /desktop=Pelk,1024x768 PelkTest.exe /q >/dev/null 2>&1 &
sleep 6; shot monitor-200 320x150+704+618
menu 750; sleep 2
