#!/bin/sh
# Prints "yes" when the Wine loader given as argument starts on this machine, else
# why not. It is run, not guessed from names: a kernel without 32-bit support
# refuses the 32-bit loader although it is installed.
loader=$1
if [ ! -x "$loader" ]; then
  echo "$loader is not installed"
elif error=$("$loader" --version 2>&1 >/dev/null); then
  echo yes
else
  case "$error" in
    *"Exec format error"*) echo "this machine runs no 32-bit programs ($loader: Exec format error)" ;;
    *) echo "$loader does not start: $(printf '%s' "$error" | tail -n 1)" ;;
  esac
fi
