#!/usr/bin/env bash
# The packaged installer in a fresh 64-bit and a fresh 32-bit Wine prefix: a
# silent install puts the matching build into the system folder, makes it the
# screen saver, maps the saver's section of control.ini to the per-user key and
# registers the uninstaller; the installed saver saves its options there, runs
# and ends on a key; a silent uninstall takes everything back but the user's
# settings. An upgrade and an uninstall while the saver runs put the running
# file aside for the restart and say so (3010); a file that can be neither
# written nor renamed fails the run before anything is registered; an install
# for the current user alone touches neither the system folder nor HKLM.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/shell_lib.sh"
e2e_begin install
trap 'install_stop_servers; e2e_cleanup' EXIT

version=1.0.4.1
installer="$QUORIX_SOURCE/dist/quorix-setup-$version.exe"
archive="$QUORIX_SOURCE/dist/quorix-$version.zip"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorix'
user_uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorix'
runonce_key='HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce'
desktop_key='HKCU\Control Panel\Desktop'
saver='C:\windows\system32\quorix.scr'
mapping_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\IniFileMapping\control.ini'
mapping_name='Screen Saver.Quorix'
uninstaller='C:\Program Files\Quorix\uninstall.exe'
wine64_loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
export DISPLAY="$QUORIX_DISPLAY_24"

install_prefix_dir() { echo "$QUORIX_BUILD/install-wine$1"; }

# Selects the prefix of 64 or 32 bits for the Wine commands that follow.
install_use() {
  export WINEPREFIX
  WINEPREFIX=$(install_prefix_dir "$1")
}

# A new prefix of the given bits, kept fast as the test command's own are.
install_create_prefix() {
  install_use "$1"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  if [ "$1" = 32 ]; then export WINEARCH=win32; else export WINEARCH=win64; fi
  wineserver -p </dev/null >/dev/null 2>&1
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

install_stop_servers() {
  local bits
  for bits in 64 32; do
    (install_use "$bits"; wineserver -k 2>/dev/null) || true
  done
}

# Prints "PE32" or "PE32+" from the optional header's magic, "none" for no PE file.
install_pe_kind() {
  local file="$1" offset
  [ -f "$file" ] || { echo none; return; }
  offset=$(od -An -tu4 -j60 -N4 "$file" | tr -d ' ')
  if [ "$(od -An -tx1 -j"$offset" -N4 "$file" | tr -d ' ')" != 50450000 ]; then
    echo none
    return
  fi
  case "$(od -An -tx2 -j$((offset + 24)) -N2 "$file" | tr -d ' ')" in
    010b) echo PE32 ;;
    020b) echo PE32+ ;;
    *) echo none ;;
  esac
}

install_value_present() {
  e2e_reg_value "$@" >/dev/null
}

install_value_absent() {
  ! e2e_reg_value "$@" >/dev/null
}

install_unix_path() { echo "$WINEPREFIX/drive_c/$1"; }

# Runs a Windows program and waits for it as Windows does, and prints its
# whole exit code: a Wine process's Unix status keeps only the low 8 bits
# (3010 would read 194). Arguments go as words, so a path with spaces after
# _?= is given as two.
install_code() {
  wine cmd /v:on /c start /wait '""' "$@" '&' echo 'code=!errorlevel!' 2>/dev/null |
    tr -d '\r' | sed -n 's/^code=//p'
}

# The installer, silently, with the given switches: prints its exit code.
install_setup() {
  cp "$installer" "$(install_unix_path setup.exe)"
  install_code 'C:\setup.exe' /S "$@"
}

# The uninstaller of the Windows folder $1, silently, as its own start runs it
# (a copy from elsewhere, told the folder with _?=), but waited for.
install_uninstall_copy() {
  local words
  cp "$(install_unix_path "$(install_relative "$1")")/uninstall.exe" "$(install_unix_path un.exe)"
  read -ra words <<<"_?=$1"
  install_code 'C:\un.exe' /S "${words[@]}"
}

# C:\a\b as a/b, for install_unix_path.
install_relative() { local path="${1#[Cc]:\\}"; echo "${path//\\//}"; }

install_sum() { sha256sum <"$1" | cut -c1-64; }

# The names starting with quorix.scr in a folder, on one line.
install_listing() { (cd "$1" 2>/dev/null && ls -d quorix.scr* 2>/dev/null | tr '\n' ' ' | sed 's/ $//'); }

# True when the deletion of the Windows path $1 waits for the next restart.
install_delete_pending() {
  e2e_reg_value 'HKLM\System\CurrentControlSet\Control\Session Manager' PendingFileRenameOperations |
    grep -qiF "$1"
}

# Starts a saver full-screen from the Windows path $1 (64 bits through the
# 64-bit loader: the launcher's system32 is SysWOW64), and waits for its window.
install_start_saver() {
  local loader=wine
  [ "$bits" = 64 ] && loader="$wine64_loader"
  wine cmd /c exit >/dev/null 2>&1
  E2E_EXIT=""
  "$loader" "$1" /s >/dev/null 2>&1 &
  E2E_PID=$!
  e2e_wait_window "Quorix ScreenSaver" 30 >/dev/null || return 1
  sleep 0.5
}

# Holds the Windows path $1 open with no sharing (see file_lock.cpp); a 32-bit
# holder reaches the 64-bit system folder as sysnative.
install_lock() {
  local path="$1"
  if [ "$bits" = 64 ] && [ "$(install_pe_kind "$QUORIX_BUILD/file_lock.exe")" = PE32 ]; then
    path="${path/\\system32\\/\\sysnative\\}"
  fi
  e2e_start_program "$QUORIX_BUILD/file_lock.exe" "$path" >/dev/null 2>&1
  e2e_wait_window "Quorix File Lock" 20 >/dev/null
}

install_unlock() {
  e2e_focus "$(e2e_wait_window "Quorix File Lock" 5)" && e2e_key Escape
  shell_ended_cleanly
}

# What an install for the current user must leave alone: HKLM's software
# (both views), a deletion waiting for the restart, and the system folders.
install_machine_state() {
  local file
  file=$(install_unix_path machine.reg)
  wine reg export 'HKLM\Software' 'C:\machine.reg' /y >/dev/null 2>&1
  iconv -f UTF-16 -t UTF-8 "$file"
  rm -f "$file"
  e2e_reg_value 'HKLM\System\CurrentControlSet\Control\Session Manager' PendingFileRenameOperations
  (cd "$(install_unix_path windows)" && find system32 syswow64 -printf '%p %s %C@\n' 2>/dev/null | sort)
}

install_end_saver() {
  e2e_focus "$(e2e_wait_window "Quorix ScreenSaver" 5)"
  e2e_key q
  shell_ended_cleanly
}

# Runs the installer silently; the uninstaller is an NSIS one, which copies
# itself away and returns at once, so an uninstall waits for the server to end.
install_run() {
  wine "$installer" /S >/dev/null 2>&1
}

install_uninstall() {
  wineserver -k 2>/dev/null
  wine "$uninstaller" /S >/dev/null 2>&1
  local code=$?
  wineserver -w
  return "$code"
}

# Runs the installed saver at the Windows path $1, checks "ignore mouse" in its
# options dialog (key "s"), saves, and ends it with a key.
install_saver_saves_and_ends_on_key() {
  local window
  install_start_saver "$1" || return 1
  e2e_key s
  window=$(e2e_wait_window "Quorix ScreenSaver Version $version" 15) || return 1
  e2e_focus "$window"
  # Tab from Save reaches the first box; the second is "ignore mouse".
  e2e_key Tab Tab space alt+s
  sleep 1
  e2e_key q
  shell_ended_cleanly
}

e2e_check "the installer exists" test -f "$installer"
e2e_eq "the archive holds both builds, the README and the licence" \
  "LICENSE.txt README.txt quorix-x64.scr quorix-x86.scr" \
  "$(zipinfo -1 "$archive" 2>/dev/null | sort | tr '\n' ' ' | sed 's/ $//')"

# The shipped installer is a 32-bit program, and so is all of the 32-bit
# prefix. A machine that starts no 32-bit program checks the same script built
# for amd64, in the 64-bit prefix only.
prefixes=(64 32)
if ! quorix_runs_32bit; then
  e2e_log "no 32-bit Windows program runs here: the 64-bit prefix only, with the installer built for amd64"
  prefixes=(64)
  installer="$E2E_OUT/quorix-setup-amd64.exe"
  copyright=$(sed -n 's/^#define QUORIX_COPYRIGHT "\(.*\)"$/\1/p' "$QUORIX_BUILD/generated/res/version.h")
  e2e_check "the installer builds for amd64" \
    bash "$QUORIX_SOURCE/scripts/installer/make-installer.sh" "$version" "$copyright" "$installer" amd64-unicode
fi

started=$(date +%s)
install_stop_servers
for bits in "${prefixes[@]}"; do
  install_create_prefix "$bits" &
done
wait
e2e_log "prefixes made in $(( $(date +%s) - started )) s"

for bits in "${prefixes[@]}"; do
  install_use "$bits"
  if [ "$bits" = 64 ]; then kind=PE32+ build=x64 view=64; else kind=PE32 build=x86 view=32; fi
  e2e_log "== $bits-bit prefix"
  views=(32)
  [ "$bits" = 64 ] && views=(64 32)

  e2e_check "a silent install succeeds" install_run
  installed=$(install_unix_path windows/system32/quorix.scr)
  e2e_eq "system32 holds a $kind file" "$kind" "$(install_pe_kind "$installed")"
  e2e_check "it is the archive's quorix-$build.scr" \
    cmp -s "$installed" <(unzip -p "$archive" "quorix-$build.scr")
  if [ "$bits" = 64 ]; then
    e2e_check "nothing lands in SysWOW64" test ! -e "$(install_unix_path windows/syswow64/quorix.scr)"
    e2e_check "the registration is in the 64-bit view only" e2e_reg_key_absent "$uninstall_key" 32
  fi
  e2e_eq "SCRNSAVE.EXE names the installed saver" "$saver" \
    "$(e2e_reg_value "$desktop_key" SCRNSAVE.EXE)"
  e2e_eq "the uninstaller is registered with DisplayVersion $version" "$version" \
    "$(e2e_reg_value "$uninstall_key" DisplayVersion "$view")"
  e2e_eq "UninstallString names the uninstaller in the program folder" "\"$uninstaller\"" \
    "$(e2e_reg_value "$uninstall_key" UninstallString "$view")"
  e2e_check "the uninstaller is there" test -f "$(install_unix_path 'Program Files/Quorix/uninstall.exe')"
  for value in DisplayName Publisher DisplayIcon EstimatedSize NoModify NoRepair; do
    e2e_check "the registration has $value" install_value_present "$uninstall_key" "$value" "$view"
  done

  for mapped in "${views[@]}"; do
    e2e_eq "the $mapped-bit view maps the saver's section to the per-user key" \
      'USR:Control Panel\Screen Saver.Quorix' "$(e2e_reg_value "$mapping_key" "$mapping_name" "$mapped")"
  done

  e2e_check "the installed saver saves its options and ends on a key with exit code 0" \
    install_saver_saves_and_ends_on_key "$saver"
  e2e_eq "the options land in the per-user key" yes "$(e2e_reg_value "$E2E_USER_KEY" "ignore mouse")"
  e2e_eq "... with the saver's version stamp" "$version" "$(e2e_reg_value "$E2E_USER_KEY" version)"
  e2e_eq "control.ini gets no section" "" "$(e2e_ini_keys)"

  # Settings in control.ini from before, and a mapping of someone else's: both
  # must outlive the uninstall.
  e2e_ini_set "hide mouse" yes
  for mapped in "${views[@]}"; do
    wine reg add "$mapping_key" /v 'Screen Saver.Other' /d 'USR:Control Panel\Screen Saver.Other' \
      /reg:"$mapped" /f >/dev/null 2>&1
  done

  e2e_check "a silent uninstall succeeds" install_uninstall
  e2e_check "the saver is gone" test ! -e "$installed"
  e2e_check "the uninstaller and its folder are gone" test ! -e "$(install_unix_path 'Program Files/Quorix')"
  e2e_check "the registration is gone" e2e_reg_key_absent "$uninstall_key" "$view"
  e2e_check "SCRNSAVE.EXE is gone" install_value_absent "$desktop_key" SCRNSAVE.EXE
  for mapped in "${views[@]}"; do
    e2e_check "the $mapped-bit view's mapping is gone" install_value_absent "$mapping_key" "$mapping_name" "$mapped"
    e2e_check "... and the other mapping stays" install_value_present "$mapping_key" 'Screen Saver.Other' "$mapped"
  done
  e2e_eq "the per-user key keeps the user's settings" yes "$(e2e_reg_value "$E2E_USER_KEY" "ignore mouse")"
  e2e_eq "control.ini keeps the user's settings" yes "$(e2e_ini_get "hide mouse")"

  if [ "$bits" = 32 ]; then
    other='C:\windows\system32\other.scr'
    e2e_check "a second install succeeds" install_run
    wine reg add "$desktop_key" /v SCRNSAVE.EXE /t REG_SZ /d "$other" /f >/dev/null 2>&1
    e2e_check "its uninstall succeeds" install_uninstall
    e2e_eq "a screen saver chosen since stays chosen" "$other" \
      "$(e2e_reg_value "$desktop_key" SCRNSAVE.EXE)"
  fi

  system=$(dirname "$installed")
  shipped=$(install_sum <(unzip -p "$archive" "quorix-$build.scr"))
  e2e_log "-- an upgrade while the installed saver runs"
  e2e_eq "an install ends with 0" 0 "$(install_setup)"
  # An older build: another file, and a registration of another version.
  printf older >>"$installed"
  older=$(install_sum "$installed")
  wine reg add "$uninstall_key" /v DisplayVersion /d 1.0.0.0 /reg:"$view" /f >/dev/null 2>&1
  e2e_check "the installed saver runs" install_start_saver "$saver"
  e2e_eq "the upgrade ends with 3010: done, restart needed" 3010 "$(install_setup)"
  e2e_eq "the system folder's quorix.scr is the new build" "$shipped" "$(install_sum "$installed")"
  e2e_eq "the running one is renamed aside" "$older" "$(install_sum "$installed.1.old")"
  e2e_check "... and deleted at the restart" install_delete_pending "$saver.1.old"
  e2e_eq "the registration names the new version" "$version" "$(e2e_reg_value "$uninstall_key" DisplayVersion "$view")"
  e2e_check "the saver goes on running from the renamed file, and ends on a key with exit code 0" install_end_saver
  e2e_check "Wine restarts" wineboot -r
  e2e_eq "then the system folder holds the new build alone" "quorix.scr $shipped" \
    "$(install_listing "$system") $(install_sum "$installed")"

  e2e_log "-- an uninstall while the saver runs, the uninstaller in place"
  e2e_check "the installed saver runs" install_start_saver "$saver"
  read -ra in_place <<<"_?=C:\Program Files\Quorix"
  e2e_eq "the uninstall ends with 3010" 3010 "$(install_code "$uninstaller" /S "${in_place[@]}")"
  e2e_eq "the saver is renamed aside" "quorix.scr.1.old" "$(install_listing "$system")"
  e2e_check "... and deleted at the restart" install_delete_pending "$saver.1.old"
  e2e_check "so is the running uninstaller, which keeps its own file open" \
    install_delete_pending "$uninstaller"
  e2e_check "the registration is gone" e2e_reg_key_absent "$uninstall_key" "$view"
  e2e_check "SCRNSAVE.EXE is gone" install_value_absent "$desktop_key" SCRNSAVE.EXE
  e2e_check "the saver ends on a key with exit code 0" install_end_saver
  e2e_check "Wine restarts" wineboot -r
  e2e_eq "then the system folder holds no quorix.scr" "" "$(install_listing "$system")"
  e2e_check "... and the program folder is gone" test ! -e "$(install_unix_path 'Program Files/Quorix')"

  e2e_log "-- a saver held open by a program that lets no one rename it"
  unzip -p "$archive" "quorix-$build.scr" >"$installed"
  printf older >>"$installed"
  e2e_check "a program holds the file" install_lock "$saver"
  e2e_eq "an install fails with 2" 2 "$(install_setup)"
  e2e_eq "the saver is left as it was, with nothing beside it" "quorix.scr $older" \
    "$(install_listing "$system") $(install_sum "$installed")"
  e2e_check "no registration claims the new version" e2e_reg_key_absent "$uninstall_key" "$view"
  e2e_check "... until it ends" install_unlock
  e2e_eq "once free, an install ends with 0" 0 "$(install_setup)"
  e2e_check "a program holds the installed file" install_lock "$saver"
  e2e_eq "an uninstall fails with 2" 2 "$(install_uninstall_copy 'C:\Program Files\Quorix')"
  e2e_check "... and keeps the registration of the saver that stays" \
    install_value_present "$uninstall_key" DisplayVersion "$view"
  e2e_check "... until it ends" install_unlock
  e2e_eq "once free, an uninstall ends with 0" 0 "$(install_uninstall_copy 'C:\Program Files\Quorix')"
  e2e_eq "... and leaves no quorix.scr" "" "$(install_listing "$system")"

  e2e_log "-- an install for the current user alone"
  user_folder="$(wine cmd /c echo '%LOCALAPPDATA%' 2>/dev/null | tr -d '\r')\Programs\Quorix"
  user_saver="$user_folder\quorix.scr"
  user_unix=$(install_unix_path "$(install_relative "$user_folder")")
  machine=$(install_machine_state)
  e2e_eq "an install with /CurrentUser ends with 0" 0 "$(install_setup /CurrentUser)"
  e2e_eq "the user's programs folder holds the new build and the uninstaller" \
    "quorix.scr uninstall.exe $shipped" "$(ls "$user_unix" | tr '\n' ' ')$(install_sum "$user_unix/quorix.scr")"
  e2e_eq "SCRNSAVE.EXE names that saver" "$user_saver" "$(e2e_reg_value "$desktop_key" SCRNSAVE.EXE)"
  for value in "DisplayVersion=$version" "InstallLocation=$user_folder" \
    "UninstallString=\"$user_folder\uninstall.exe\"" "QuietUninstallString=\"$user_folder\uninstall.exe\" /S"; do
    e2e_eq "HKCU registers the uninstaller: ${value%%=*}" "${value#*=}" \
      "$(e2e_reg_value "$user_uninstall_key" "${value%%=*}")"
  done
  e2e_check "the saver runs from there" install_start_saver "$user_saver"
  e2e_check "... and ends on a key with exit code 0" install_end_saver

  printf older >>"$user_unix/quorix.scr"
  e2e_check "the saver runs again" install_start_saver "$user_saver"
  e2e_eq "an upgrade while it runs ends with 3010" 3010 "$(install_setup /CurrentUser)"
  e2e_eq "the user's quorix.scr is the new build" "$shipped" "$(install_sum "$user_unix/quorix.scr")"
  cleanup=$(e2e_reg_value "$runonce_key" "Quorix quorix.scr.1.old")
  e2e_check "the user's RunOnce removes the renamed one at the next sign-in" \
    grep -qF "\"$user_saver.1.old\"" <<<"$cleanup"
  e2e_check "the saver ends on a key with exit code 0" install_end_saver
  # Wine runs no RunOnce of a user's: its command runs here as Windows would.
  printf '%s\r\n' "$cleanup" >"$(install_unix_path runonce.bat)"
  wine cmd /c 'C:\runonce.bat' >/dev/null 2>&1
  e2e_eq "... and that command removes it" "quorix.scr" "$(install_listing "$user_unix")"

  e2e_eq "the uninstall ends with 0" 0 "$(install_uninstall_copy "$user_folder")"
  e2e_check "the user's programs folder is gone" test ! -e "$user_unix"
  e2e_check "the registration is gone" e2e_reg_key_absent "$user_uninstall_key"
  e2e_check "SCRNSAVE.EXE is gone" install_value_absent "$desktop_key" SCRNSAVE.EXE
  e2e_eq "HKLM and the system folders are as before the install" "$machine" "$(install_machine_state)"
done

install_stop_servers
e2e_log "install scenario took $(( $(date +%s) - started )) s"
# The prefixes take more than a gigabyte each; keep them only to look into a failure.
if [ "$E2E_FAILS" -eq 0 ]; then
  rm -rf "$(install_prefix_dir 64)" "$(install_prefix_dir 32)"
fi
e2e_end
