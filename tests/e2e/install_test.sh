#!/usr/bin/env bash
# The packaged installer in a fresh 64-bit and a fresh 32-bit Wine prefix: a
# silent install puts the matching build into the system folder, makes it the
# screen saver, maps the saver's section of control.ini to the per-user key and
# registers the uninstaller; the installed saver saves its options there, runs
# and ends on a key; a silent uninstall takes everything back but the user's
# settings.
source "$(dirname "$0")/harness.sh"
e2e_begin install
trap 'install_stop_servers; e2e_cleanup' EXIT

version=1.0.4.1
installer="$QUORIX_SOURCE/dist/quorix-setup-$version.exe"
archive="$QUORIX_SOURCE/dist/quorix-$version.zip"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorix'
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

# Runs the installed saver from the system folder (64 bits through the 64-bit
# loader: the launcher's system32 is SysWOW64), checks "ignore mouse" in its
# options dialog (key "s"), saves, and ends it with a key.
install_saver_saves_and_ends_on_key() {
  local loader=wine window
  [ "$1" = 64 ] && loader="$wine64_loader"
  wine cmd /c exit >/dev/null 2>&1
  E2E_EXIT=""
  "$loader" "$saver" /s >/dev/null 2>&1 &
  E2E_PID=$!
  e2e_wait_window "Quorix ScreenSaver" 30 >/dev/null || return 1
  sleep 0.5
  e2e_key s
  window=$(e2e_wait_window "Quorix ScreenSaver Version $version" 15) || return 1
  e2e_focus "$window"
  # Tab from Save reaches the first box; the second is "ignore mouse".
  e2e_key Tab Tab space alt+s
  sleep 1
  e2e_key q
  e2e_wait_exit 10 && [ "$E2E_EXIT" = 0 ]
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

  for view in "${views[@]}"; do
    e2e_eq "the $view-bit view maps the saver's section to the per-user key" \
      'USR:Control Panel\Screen Saver.Quorix' "$(e2e_reg_value "$mapping_key" "$mapping_name" "$view")"
  done

  e2e_check "the installed saver saves its options and ends on a key with exit code 0" \
    install_saver_saves_and_ends_on_key "$bits"
  e2e_eq "the options land in the per-user key" yes "$(e2e_reg_value "$E2E_USER_KEY" "ignore mouse")"
  e2e_eq "... with the saver's version stamp" "$version" "$(e2e_reg_value "$E2E_USER_KEY" version)"
  e2e_eq "control.ini gets no section" "" "$(e2e_ini_keys)"

  # Settings in control.ini from before, and a mapping of someone else's: both
  # must outlive the uninstall.
  e2e_ini_set "hide mouse" yes
  for view in "${views[@]}"; do
    wine reg add "$mapping_key" /v 'Screen Saver.Other' /d 'USR:Control Panel\Screen Saver.Other' \
      /reg:"$view" /f >/dev/null 2>&1
  done

  e2e_check "a silent uninstall succeeds" install_uninstall
  e2e_check "the saver is gone" test ! -e "$installed"
  e2e_check "the uninstaller and its folder are gone" test ! -e "$(install_unix_path 'Program Files/Quorix')"
  e2e_check "the registration is gone" e2e_reg_key_absent "$uninstall_key" "$view"
  e2e_check "SCRNSAVE.EXE is gone" install_value_absent "$desktop_key" SCRNSAVE.EXE
  for view in "${views[@]}"; do
    e2e_check "the $view-bit view's mapping is gone" install_value_absent "$mapping_key" "$mapping_name" "$view"
    e2e_check "... and the other mapping stays" install_value_present "$mapping_key" 'Screen Saver.Other' "$view"
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
done

install_stop_servers
e2e_log "install scenario took $(( $(date +%s) - started )) s"
# The prefixes take more than a gigabyte each; keep them only to look into a failure.
if [ "$E2E_FAILS" -eq 0 ]; then
  rm -rf "$(install_prefix_dir 64)" "$(install_prefix_dir 32)"
fi
e2e_end
