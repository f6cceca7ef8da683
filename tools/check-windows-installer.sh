#!/usr/bin/env bash
# Tries the Windows setup program as a user would, under Wine in a fresh prefix: a silent
# install, the exe, the Start-menu shortcut and the entry in the list of installed
# programs, a start of the installed program until its window shows, then a silent
# uninstall that must remove all it installed and leave the user's settings and files.
# Wine here runs 64-bit programs only, so this takes the 64-bit setup.
# Usage: tools/check-windows-installer.sh PATH/zorbalin-VERSION-win64-setup.exe
set -euo pipefail

setup="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
root="$(cd "$(dirname "$0")/.." && pwd)"
# Wine draws windows on an X server: a private virtual one when there is no display.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
version="$("$root/tools/project-version.sh")"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
"$wine" --version >/dev/null 2>&1 || { echo "FAIL: Wine (wine64) cannot run here" >&2; exit 1; }
export WINEDEBUG=-all LANG=zh_CN.UTF-8
WINEPREFIX="$(mktemp -d /tmp/zorbalin-setup-wine.XXXXXX)"
export WINEPREFIX
trap 'timeout 30 wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
reg_value() {  # KEY NAME: the value's data, or nothing
  "$wine" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -nE "s/^ +$2 +REG_[A-Z_]+ +(.*)$/\1/p"
}
unix_path() { "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'; }

timeout 300 "$wine" wineboot -i >/dev/null 2>&1 || fail "wineboot"
folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
local_appdata="$(unix_path "$(reg_value "$folders" 'Local AppData')")"
start_menu="$(unix_path "$(reg_value "$folders" Programs)")"
documents="$(unix_path "$(reg_value "$folders" Personal)")"
settings='HKCU\Software\VB and VBA Program Settings\Pellanor\Nomal'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\io.github.zorbalin.Zorbalin'

# What the user already has: settings from an earlier installation and a candidate file.
"$wine" reg add "$settings" /v Interval /d 75 /f >/dev/null 2>&1
mkdir -p "$documents"
printf '甲\r\n乙\r\n丙' > "$documents/candidates.txt"

echo "== $(basename "$setup") /S"
timeout 180 "$wine" "$setup" /S || fail "the silent install failed"
instdir="$local_appdata/Programs/Zorbalin"
for file in zorbalin.exe LICENSE.txt uninstall.exe; do
  [ -f "$instdir/$file" ] || fail "$instdir/$file is missing"
done
[ -f "$start_menu/Zorbalin.lnk" ] || fail "no Start-menu shortcut in $start_menu"
[ "$(reg_value "$uninstall_key" DisplayVersion)" = "$version" ] ||
  fail "no uninstall entry for $version in $uninstall_key"
uninstaller="$(reg_value "$uninstall_key" QuietUninstallString)"
[ -n "$uninstaller" ] || fail "the uninstall entry has no QuietUninstallString"
echo "installed into $(reg_value "$uninstall_key" InstallLocation); Start-menu shortcut and uninstall entry present"

echo "== the installed zorbalin.exe"
"$wine" "$instdir/zorbalin.exe" > /dev/null 2>&1 &
app=$!
timeout 60 xdotool search --sync --onlyvisible --name '^Zorbalin$' > /dev/null ||
  fail "the installed program showed no window within 60 s"
echo "window shown"
# Closed as by the user (WM_CLOSE): the program stores its settings on the way out.
"$wine" taskkill /im zorbalin.exe > /dev/null 2>&1 || true
timeout 30 tail --pid="$app" -f /dev/null || fail "the program did not close within 30 s"
"$wine" reg query "$settings" /v Path >/dev/null 2>&1 || fail "closing did not store the settings"
echo "closed; settings stored"

echo "== uninstall: $uninstaller"
uninstall_exe="$(sed -nE 's/^"([^"]+)" \/S$/\1/p' <<<"$uninstaller")"
[ -n "$uninstall_exe" ] || fail "unexpected QuietUninstallString: $uninstaller"
timeout 120 "$wine" "$uninstall_exe" /S || fail "the silent uninstall failed"
# The uninstaller runs on from a copy of itself: wait until every Wine process has ended.
timeout 120 wineserver -w || fail "the uninstaller did not finish within 120 s"
[ ! -e "$instdir" ] || fail "left behind in $instdir: $(ls -A "$instdir")"
[ ! -e "$start_menu/Zorbalin.lnk" ] || fail "the Start-menu shortcut is left"
! "$wine" reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstall entry is left"
[ "$(reg_value "$settings" Interval)" = 75 ] || fail "the user's settings were removed"
[ -f "$documents/candidates.txt" ] || fail "the user's candidate file was removed"
echo "uninstalled: program, shortcut and entry gone; the user's settings and files kept"
