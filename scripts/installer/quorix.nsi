; Installer for Quorix: puts the build that matches Windows into the system
; folder, makes it the screen saver if asked, and registers an uninstaller.
; scripts/package.sh runs makensis with these defines:
;   VERSION   the version text of the resources (e.g. 1.0.4.1)
;   COPYRIGHT the copyright line of LICENSE
;   SCR_X86   the 32-bit quorix.scr      SCR_X64   the 64-bit quorix.scr
;   LICENSE   the licence as text        ICON      the saver's icon
;   OUTFILE   the installer to write
;   TARGET    optional: NSIS's target, x86-unicode (the default) or amd64-unicode

!ifdef TARGET
  Target "${TARGET}"
!else
  Unicode true
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

!define PRODUCT "Quorix"
!define PUBLISHER "the Quorix authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorix"
!define DESKTOP_KEY "Control Panel\Desktop"
; Sends the profile functions for the saver's section of control.ini, which a
; standard user cannot write since Vista, to that user's own key.
!define MAPPING_KEY "SOFTWARE\Microsoft\Windows NT\CurrentVersion\IniFileMapping\control.ini"
!define MAPPING_NAME "Screen Saver.Quorix"
!define MAPPING_TARGET "USR:Control Panel\Screen Saver.Quorix"
!define SCR_NAME "quorix.scr"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} screen saver setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_INSTFILES
; The last page's check box: on by default; silent installs take it as well.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Make Quorix the current screen saver"
!define MUI_FINISHPAGE_RUN_FUNCTION MakeCurrentSaver
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Function .onInit
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_ICONSTOP "Installing Quorix needs administrator rights." /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
  ${If} ${RunningX64}
    SetRegView 64
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
  ${EndIf}
FunctionEnd

Section "Quorix"
  ; Redirection is per thread, and sections run on a thread of their own.
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    SetRegView 64
  ${EndIf}
  SetOutPath "$SYSDIR"
  SetOverwrite on
  ${If} ${RunningX64}
    File "/oname=${SCR_NAME}" "${SCR_X64}"
  ${Else}
    File "/oname=${SCR_NAME}" "${SCR_X86}"
  ${EndIf}

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; EstimatedSize is in KiB: the saver and the uninstaller, rounded up.
  StrCpy $1 0
  FileOpen $0 "$SYSDIR\${SCR_NAME}" r
  FileSeek $0 0 END $2
  FileClose $0
  IntOp $1 $1 + $2
  FileOpen $0 "$INSTDIR\uninstall.exe" r
  FileSeek $0 0 END $2
  FileClose $0
  IntOp $1 $1 + $2
  IntOp $1 $1 + 1023
  IntOp $1 $1 / 1024

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} screen saver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\${SCR_NAME},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; In both views on 64-bit Windows: the 32-bit build reads the 32-bit one.
  WriteRegStr HKLM "${MAPPING_KEY}" "${MAPPING_NAME}" "${MAPPING_TARGET}"
  ${If} ${RunningX64}
    SetRegView 32
    WriteRegStr HKLM "${MAPPING_KEY}" "${MAPPING_NAME}" "${MAPPING_TARGET}"
    SetRegView 64
  ${EndIf}
SectionEnd

; What the Screen Saver settings store when the user picks a saver.
Function MakeCurrentSaver
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\${SCR_NAME}"
FunctionEnd

Function .onInstSuccess
  ${If} ${Silent}
    Call MakeCurrentSaver
  ${EndIf}
FunctionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    SetRegView 64
  ${EndIf}
  Delete "$SYSDIR\${SCR_NAME}"

  ; Take back the screen saver only while it is still ours; the user may have
  ; chosen another one since. The users' settings stay: their own keys and
  ; any section in control.ini.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  StrLen $1 "\${SCR_NAME}"
  IntOp $1 0 - $1
  StrCpy $2 $0 "" $1
  ${If} $2 == "\${SCR_NAME}"
  ${OrIf} $0 == "${SCR_NAME}"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; Only our mapping goes; the key holds Windows' own.
  DeleteRegValue HKLM "${MAPPING_KEY}" "${MAPPING_NAME}"
  ${If} ${RunningX64}
    SetRegView 32
    DeleteRegValue HKLM "${MAPPING_KEY}" "${MAPPING_NAME}"
    SetRegView 64
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
