#!/usr/bin/env bash
# Runs one Windows program under wine64, in a throwaway prefix that reports the requested
# Windows version. CTest uses it as the cross-compiling emulator; scripts call it directly.
#
#   wine-run.sh PROGRAM.exe [ARGS...]
#
#   Z614_WINE_VERSION  winxp (default), win2k, win98, winme, win95 or nt40
#   Z614_WINE_ROOT     folder of this run's prefixes (default /tmp/z614-wine-$UID)
#   Z614_WINE_KEEP=1   keep the prefix as the previous program left it (several programs of
#                      one scenario); by default the registry and scratch folders are reset
#   Z614_WINE_FRESH=1  start from a drive C: as a new prefix has it, for scenarios that install
#                      into the Windows folder and compare the machine before and after; the
#                      next program of the version gets a new drive C: too
#   Z614_WINE_NATIVE_DLLS  paths of substitute DLLs (space-separated) that this program gets in
#                      place of Wine's own: each is copied into system32 over Wine's placeholder
#                      and loaded as native (NAME=n); the next reset puts the placeholder back
#
# One base prefix is made per root and copied once per Windows version. Programs of the same
# version are serialised by a lock on that version's prefix, so tests may run in parallel as
# long as they ask for different versions.
set -eu

wine_dir=/usr/lib/wine
wine=$wine_dir/wine64
wineserver=$wine_dir/wineserver
version=${Z614_WINE_VERSION:-winxp}
root=${Z614_WINE_ROOT:-/tmp/z614-wine-$(id -u)}
base=$root/base
prefix=$root/$version

case $version in
  winxp|win2k|win98|winme|win95|nt40) ;;
  *) echo "wine-run.sh: unknown Windows version '$version'" >&2; exit 2 ;;
esac

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=}
export WINEARCH=win64

if [ -z "${DISPLAY:-}" ]; then
  # No display: run this one program on a private Xvfb.
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

mkdir -p "$root"

make_base() {
  rm -rf "$base"
  # Whatever the caller overrides, a new prefix never looks for Mono or Gecko.
  WINEPREFIX=$base WINEDLLOVERRIDES="mscoree=;mshtml=" "$wine" wineboot -i >/dev/null 2>&1
  # Keep every write inside the prefix: the user's shell folders are links into $HOME, some of
  # them deep in the profile (Templates).
  local link
  find "$base"/drive_c/users -type l | while read -r link; do rm "$link"; mkdir -p "$link"; done
  local user_dir
  for user_dir in "$base"/drive_c/users/*; do mkdir -p "$user_dir/Temp"; done
  # A folder no program can write to, not even as root: the host's /sys/kernel. Tests of the
  # target-folder checks choose it as C:\unwritable.
  ln -s /sys/kernel "$base/drive_c/unwritable"
  # One virtual desktop, so that windows get Wine's own frames and screenshots are stable.
  WINEPREFIX=$base "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  WINEPREFIX=$base "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  # Text files open in Notepad, as on every Windows; Wine knows the file type but not the
  # extension.
  WINEPREFIX=$base "$wine" reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
  # A crashing program ends with its exception code instead of waiting in a debugger.
  WINEPREFIX=$base "$wine" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
  WINEPREFIX=$base "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  WINEPREFIX=$base "$wineserver" -w
  touch "$base/.ready"
}

make_version_prefix() {
  rm -rf "$prefix"
  cp -a "$base" "$prefix"
  WINEPREFIX=$prefix "$wine" reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
  WINEPREFIX=$prefix "$wineserver" -w
  mkdir -p "$prefix/.pristine"
  cp "$prefix"/*.reg "$prefix/.pristine/"
  touch "$prefix/.ready"
}

reset_prefix() {
  WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true
  WINEPREFIX=$prefix "$wineserver" -w 2>/dev/null || true
  cp "$prefix"/.pristine/*.reg "$prefix/"
  if [ "${Z614_WINE_FRESH:-0}" = 1 ] || [ -e "$prefix/.drive-installed" ]; then
    rm -rf "$prefix/drive_c" "$prefix/.drive-installed"
    cp -a "$base/drive_c" "$prefix/"
  fi
  [ ! -d "$prefix/.pristine/system32" ] || cp "$prefix"/.pristine/system32/* "$prefix/drive_c/windows/system32/"
  rm -rf "$prefix"/drive_c/users/*/Temp/* "$prefix/drive_c/Program Files/Xelta" "$prefix/drive_c/z614"
}

# A prefix made by an older copy of this script, or from an older base, is made again: what the
# script sets up (associations, folders) would be missing from it.
{
  flock 9
  [ "$base/.ready" -nt "$0" ] || make_base
} 9>"$root/base.lock"

exec 8>"$root/$version.lock"
flock 8
[ "$prefix/.ready" -nt "$base/.ready" ] || make_version_prefix
[ "${Z614_WINE_KEEP:-0}" = 1 ] || reset_prefix
[ "${Z614_WINE_FRESH:-0}" != 1 ] || touch "$prefix/.drive-installed"

for dll in ${Z614_WINE_NATIVE_DLLS:-}; do
  name=$(basename "$dll")
  mkdir -p "$prefix/.pristine/system32"
  [ -e "$prefix/.pristine/system32/$name" ] || cp "$prefix/drive_c/windows/system32/$name" "$prefix/.pristine/system32/"
  cp "$dll" "$prefix/drive_c/windows/system32/$name"
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;${name%.dll}=n"
done

# The lock descriptor is closed for Wine itself: a wineserver that outlives this program must
# not hold the version's lock.
status=0
WINEPREFIX=$prefix "$wine" "$@" 8>&- || status=$?
exit $status
