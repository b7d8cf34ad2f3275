#!/bin/sh
# Prints the Windows build that runs on this machine: win32, the shipped Pelk, where
# the 32-bit Wine starts, else win64.
if [ "$(sh "$(dirname "$0")/wine-probe.sh" /usr/lib/wine/wine)" = yes ]; then echo win32; else echo win64; fi
