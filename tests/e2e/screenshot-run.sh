#!/usr/bin/env bash
# Starts a Windows program under Wine on the current display, waits until it settles, saves a
# screenshot of the screen and ends the program's prefix.
#   screenshot-run.sh PROGRAM.exe OUT.png WINE_ROOT [SECONDS]
set -eu
program=$1 out=$2 root=$3 settle=${4:-8}
here=$(cd "$(dirname "$0")/../.." && pwd)
# A fresh root makes its prefix first, which takes longer than the settling time.
Z614_WINE_ROOT=$root Z614_WINE_KEEP=1 "$here/cmake/wine-run.sh" cmd.exe /c exit
Z614_WINE_ROOT=$root Z614_WINE_KEEP=1 "$here/cmake/wine-run.sh" "$program" &
launcher=$!
sleep "$settle"
import -window root "$out"
wait "$launcher" || true
WINEPREFIX=$root/${Z614_WINE_VERSION:-winxp} /usr/lib/wine/wineserver -k 2>/dev/null || true
