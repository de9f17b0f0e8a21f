#!/usr/bin/env bash
# installer_test.sh PREFIX SETUP VERSION: installs QUARVEL silently into the wine prefix, runs the
# installed brindaq-cli.exe, by its path and by its name from the PATH, reads the entry in the list
# of installed apps and the user's PATH, installs again, uninstalls, and checks that nothing is
# left behind and the PATH is as it was.
set -euo pipefail
export WINEPREFIX="$1" WINEDEBUG=-all
setup="$2"
version="$3"

user_dir="$WINEPREFIX/drive_c/users/$(id -un)"
install_dir="$user_dir/AppData/Local/Programs/QUARVEL"
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/QUARVEL.lnk"
full_range_shortcut="${shortcut%.lnk} (full range).lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\QUARVEL'
environment='HKCU\Environment'
folder='C:\users\'"$(id -un)"'\AppData\Local\Programs\QUARVEL'
# The user's PATH before the install: two entries of the user's own, one of them a prefix of the
# install folder's path.
path_before='C:\tools;C:\users\'"$(id -un)"'\AppData\Local\Programs'

failures=0
check() {  # check DESCRIPTION COMMAND...
  local what="$1"
  shift
  if ! "$@"; then
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}
# Polls: the uninstaller returns at once and finishes from a copy of itself in %TEMP%; and a
# `wine reg` read on a loaded machine now and then answers nothing, which a second read mends (a
# wrong PATH stays wrong, so polling does not hide one).
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
user_path() {
  { wine reg query "$environment" /v Path 2>/dev/null || true; } | tr -d '\r' |
    sed -n 's/^ *Path *REG_[A-Z_]* *//p'
}
path_is() { [ "$(user_path)" = "$1" ]; }

# What an earlier, interrupted run may have left; the prefix's own PATH is put back at the end.
rm -rf "$install_dir" "$shortcut" "$full_range_shortcut"
wine reg delete "$key" /f >/dev/null 2>&1 || true
own_path=$(user_path)
restore_path() {
  if [ -n "$own_path" ]; then
    wine reg add "$environment" /v Path /t REG_EXPAND_SZ /d "$own_path" /f >/dev/null 2>&1
  else
    wine reg delete "$environment" /v Path /f >/dev/null 2>&1 || true
  fi
}
trap restore_path EXIT
wine reg add "$environment" /v Path /t REG_EXPAND_SZ /d "$path_before" /f >/dev/null 2>&1

check "the installer runs silently" wine "$setup" /S
for file in brindaq.exe brindaq-cli.exe README.txt uninstall.exe; do
  check "$file is installed" test -f "$install_dir/$file"
done
check "the Start-menu shortcut QUARVEL" test -f "$shortcut"
# A shortcut holds its arguments in UTF-16.
check "the Start-menu shortcut QUARVEL (full range), with --full-range" \
  grep -q -- "--full-range" <(tr -d '\0' <"$full_range_shortcut")
answer=$(wine "$install_dir/brindaq-cli.exe" factors 360 | tr -d '\r' | tr '\n' ' ')
check "the installed brindaq-cli.exe answers: $answer" test "$answer" = "2 2 2 3 3 5 "

check "the folder at the end of the user's PATH: $(user_path)" \
  eventually path_is "$path_before;$folder"
# A new console, as the README shows it, in another folder: wine puts the user's PATH after the
# system's, as Windows does.
answer=$(wine cmd /c 'cd /d C:\ && brindaq-cli factors 360' | tr -d '\r' | tr '\n' ' ')
check "brindaq-cli answers by its name alone: $answer" test "$answer" = "2 2 2 3 3 5 "

check "its name in the app list" test "$(value DisplayName)" = QUARVEL
check "its version" test "$(value DisplayVersion)" = "$version"
check "its publisher" test "$(value Publisher)" = TORVASK
check "its icon" test "$(value DisplayIcon)" = 'C:\users\'"$(id -un)"'\AppData\Local\Programs\QUARVEL\brindaq.exe,0'
check "its uninstaller" test "$(value UninstallString)" = '"C:\users\'"$(id -un)"'\AppData\Local\Programs\QUARVEL\uninstall.exe"'

check "installing again" wine "$setup" /S
check "the folder once in the PATH: $(user_path)" eventually path_is "$path_before;$folder"

check "the uninstaller runs silently" wine "$install_dir/uninstall.exe" /S
check "the program's folder is gone" eventually absent "$install_dir"
check "the shortcut is gone" eventually absent "$shortcut"
check "the full range's shortcut is gone" eventually absent "$full_range_shortcut"
check "the app list's entry is gone" eventually key_absent
check "the PATH is as it was" eventually path_is "$path_before"

echo "$failures failed"
[ "$failures" -eq 0 ]
