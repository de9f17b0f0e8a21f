#!/usr/bin/env bash
# installer_test.sh PREFIX SETUP VERSION: installs QUARVEL silently into the wine prefix, runs the
# installed brindaq-cli.exe, reads the entry in the list of installed apps, uninstalls, and checks
# that nothing is left behind.
set -euo pipefail
export WINEPREFIX="$1" WINEDEBUG=-all
setup="$2"
version="$3"

user_dir="$WINEPREFIX/drive_c/users/$(id -un)"
install_dir="$user_dir/AppData/Local/Programs/QUARVEL"
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/QUARVEL.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\QUARVEL'

failures=0
check() {  # check DESCRIPTION COMMAND...
  local what="$1"
  shift
  if ! "$@"; then
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}
# Polls: the uninstaller returns at once and finishes from a copy of itself in %TEMP%.
eventually() {
  for _ in $(seq 100); do
    if "$@"; then
      return 0
    fi
    sleep 0.2
  done
  return 1
}
absent() { [ ! -e "$1" ]; }
key_absent() { ! wine reg query "$key" >/dev/null 2>&1; }
value() { wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"; }

# What an earlier, interrupted run may have left.
rm -rf "$install_dir" "$shortcut"
wine reg delete "$key" /f >/dev/null 2>&1 || true

check "the installer runs silently" wine "$setup" /S
for file in brindaq.exe brindaq-cli.exe README.txt uninstall.exe; do
  check "$file is installed" test -f "$install_dir/$file"
done
check "the Start-menu shortcut QUARVEL" test -f "$shortcut"
answer=$(wine "$install_dir/brindaq-cli.exe" factors 360 | tr -d '\r' | tr '\n' ' ')
check "the installed brindaq-cli.exe answers: $answer" test "$answer" = "2 2 2 3 3 5 "

check "its name in the app list" test "$(value DisplayName)" = QUARVEL
check "its version" test "$(value DisplayVersion)" = "$version"
check "its publisher" test "$(value Publisher)" = TORVASK
check "its icon" test "$(value DisplayIcon)" = 'C:\users\'"$(id -un)"'\AppData\Local\Programs\QUARVEL\brindaq.exe,0'
check "its uninstaller" test "$(value UninstallString)" = '"C:\users\'"$(id -un)"'\AppData\Local\Programs\QUARVEL\uninstall.exe"'

check "the uninstaller runs silently" wine "$install_dir/uninstall.exe" /S
check "the program's folder is gone" eventually absent "$install_dir"
check "the shortcut is gone" eventually absent "$shortcut"
check "the app list's entry is gone" eventually key_absent

echo "$failures failed"
[ "$failures" -eq 0 ]
