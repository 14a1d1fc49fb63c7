; Installer for Quorix: puts the build that matches Windows into the system
; folder, makes it the screen saver if asked, and registers an uninstaller.
; scripts/package.sh runs makensis with these defines:
;   VERSION   the version text of the resources (e.g. 1.0.4.1)
;   COPYRIGHT the copyright line of LICENSE
;   SCR_X86   the 32-bit quorix.scr      SCR_X64   the 64-bit quorix.scr
;   LICENSE   the licence as text        ICON      the saver's icon
;   OUTFILE   the installer to write
;   TARGET    optional: NSIS's target, x86-unicode (the default) or amd64-unicode
;
; A screen saver runs whenever the machine is idle, upgrades included, and
; Windows refuses to write or delete a running program's file but lets it be
; renamed. So a file in use is renamed aside in its folder, the new one takes
; its name, and the old one goes at the next restart; a silent run then ends
; with 3010. A file that can be neither written nor renamed ends the run with
; an error before anything is registered.

!ifdef TARGET
  Target "${TARGET}"
!else
  Unicode true
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

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
!define UNINSTALLER_NAME "uninstall.exe"
; Windows' code for "done, restart needed".
!define EXIT_RESTART 3010
!define EXIT_FAILED 2
!define EXIT_ELEVATION_REQUIRED 740

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

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

Var Folder      ; the file being put in place or removed: $Folder\$FileName
Var FileName
Var Aside       ; that file renamed aside, and its name alone
Var AsideName
Var FinishText

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_INSTFILES
; The last page's check box: on by default; silent installs take it as well.
; The page never offers to restart: the old copy can wait for the user's.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Make Quorix the current screen saver"
!define MUI_FINISHPAGE_RUN_FUNCTION MakeCurrentSaver
!define MUI_FINISHPAGE_NOREBOOTSUPPORT
!define MUI_FINISHPAGE_TEXT "$FinishText"
!define MUI_PAGE_CUSTOMFUNCTION_PRE FinishPre
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_NOREBOOTSUPPORT
!define MUI_FINISHPAGE_TEXT "$FinishText"
!define MUI_PAGE_CUSTOMFUNCTION_PRE un.FinishPre
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

; Functions that the installer and the uninstaller both need, once with the
; prefix "un." for the uninstaller.
!macro SHARED_FUNCTIONS UN

; Renames $Folder\$FileName to a free $FileName.N.old in the same folder: a
; running program's file can be renamed, and the program goes on running from
; it. Sets $Aside to "" when the file cannot be renamed either.
Function ${UN}PutAside
  StrCpy $R0 1
  ${Do}
    StrCpy $AsideName "$FileName.$R0.old"
    StrCpy $Aside "$Folder\$AsideName"
    ${IfNot} ${FileExists} $Aside
      ${Break}
    ${EndIf}
    IntOp $R0 $R0 + 1
  ${Loop}
  ClearErrors
  Rename "$Folder\$FileName" $Aside
  ${If} ${Errors}
    DetailPrint "$Folder\$FileName can be neither written nor renamed"
    StrCpy $Aside ""
  ${Else}
    DetailPrint "$Folder\$FileName is in use: renamed to $AsideName"
  ${EndIf}
FunctionEnd

; Deletes $Aside, or, while its program still runs, at the next restart.
Function ${UN}RemoveAside
  Delete $Aside
  ${IfNot} ${FileExists} $Aside
    Return
  ${EndIf}
  Delete /REBOOTOK $Aside
  DetailPrint "$AsideName is removed at the next restart"
FunctionEnd

; Copies that earlier runs put aside and whose programs have ended since.
Function ${UN}RemoveLeftovers
  Delete "$Folder\$FileName.*.old"
FunctionEnd

Function ${UN}FinishPre
  !if "${UN}" == ""
    StrCpy $FinishText "$(^NameDA) has been installed on your computer."
  !else
    StrCpy $FinishText "$(^NameDA) has been removed from your computer."
  !endif
  IfRebootFlag 0 +2
    StrCpy $FinishText "$FinishText$\r$\n$\r$\nThe copy of $(^NameDA) that was running keeps running until it ends. The old file is removed at the next restart."
  StrCpy $FinishText "$FinishText$\r$\n$\r$\nClick Finish to close this wizard."
FunctionEnd

!macroend
!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

Function .onInit
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_ICONSTOP "Installing Quorix needs administrator rights." /SD IDOK
    SetErrorLevel ${EXIT_ELEVATION_REQUIRED}
    Quit
  ${EndIf}
  ${If} ${RunningX64}
    SetRegView 64
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
  ${EndIf}
FunctionEnd

Function CannotReplace
  MessageBox MB_ICONSTOP "$Folder\$FileName is in use by a program that lets no one rename it, and cannot be replaced. Close that program and run Setup again." /SD IDOK
  SetErrorLevel ${EXIT_FAILED}
  Abort
FunctionEnd

; Writes $Folder\$FileName: the built file SOURCE, or the uninstaller. A file
; that cannot be written is put aside first, and put back when the new one
; cannot be written either.
!macro PUT_IN_PLACE FOLDER NAME SOURCE
  StrCpy $Folder "${FOLDER}"
  StrCpy $FileName "${NAME}"
  Call RemoveLeftovers
  !insertmacro PUT_IN_PLACE_WRITE "${SOURCE}"
  ${If} ${Errors}
    Call PutAside
    ${If} $Aside == ""
      Call CannotReplace
    ${EndIf}
    !insertmacro PUT_IN_PLACE_WRITE "${SOURCE}"
    ${If} ${Errors}
      Delete "$Folder\$FileName"
      Rename $Aside "$Folder\$FileName"
      Call CannotReplace
    ${EndIf}
    Call RemoveAside
  ${EndIf}
!macroend

!macro PUT_IN_PLACE_WRITE SOURCE
  ClearErrors
  !if "${SOURCE}" == "uninstaller"
    WriteUninstaller "$Folder\$FileName"
  !else
    SetOverwrite try
    File "/oname=$Folder\$FileName" "${SOURCE}"
  !endif
!macroend

Section "Quorix"
  ; Redirection is per thread, and sections run on a thread of their own.
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    SetRegView 64
  ${EndIf}
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    !insertmacro PUT_IN_PLACE "$SYSDIR" "${SCR_NAME}" "${SCR_X64}"
  ${Else}
    !insertmacro PUT_IN_PLACE "$SYSDIR" "${SCR_NAME}" "${SCR_X86}"
  ${EndIf}
  !insertmacro PUT_IN_PLACE "$INSTDIR" "${UNINSTALLER_NAME}" "uninstaller"

  ; EstimatedSize is in KiB: the saver and the uninstaller, rounded up.
  StrCpy $1 0
  FileOpen $0 "$SYSDIR\${SCR_NAME}" r
  FileSeek $0 0 END $2
  FileClose $0
  IntOp $1 $1 + $2
  FileOpen $0 "$INSTDIR\${UNINSTALLER_NAME}" r
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
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER_NAME}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER_NAME}" /S'
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
  IfRebootFlag 0 +2
    SetErrorLevel ${EXIT_RESTART}
FunctionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

; Deletes $Folder\$FileName, or puts it aside for the next restart while it
; is in use; ends the run with an error when it can be neither.
Function un.RemoveFile
  Call un.RemoveLeftovers
  Delete "$Folder\$FileName"
  ${IfNot} ${FileExists} "$Folder\$FileName"
    Return
  ${EndIf}
  Call un.PutAside
  ; The uninstaller run in place (with _?=) keeps its own file open, which
  ; forbids a rename as well: it goes at the restart under its own name.
  ${If} $Aside == ""
  ${AndIf} $EXEPATH == "$Folder\$FileName"
    StrCpy $AsideName $FileName
    StrCpy $Aside $EXEPATH
  ${EndIf}
  ${If} $Aside == ""
    MessageBox MB_ICONSTOP "$Folder\$FileName is in use by a program that lets no one rename it, and cannot be removed. Close that program and run the uninstaller again." /SD IDOK
    SetErrorLevel ${EXIT_FAILED}
    Abort
  ${EndIf}
  Call un.RemoveAside
FunctionEnd

Section "Uninstall"
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    SetRegView 64
  ${EndIf}
  ; Both files go before the registration: one that stays keeps it.
  StrCpy $Folder $SYSDIR
  StrCpy $FileName "${SCR_NAME}"
  Call un.RemoveFile
  StrCpy $Folder $INSTDIR
  StrCpy $FileName "${UNINSTALLER_NAME}"
  Call un.RemoveFile

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
  ; A file that waits for the restart in it takes the folder along then.
  ${If} ${RebootFlag}
    RMDir /REBOOTOK "$INSTDIR"
  ${Else}
    RMDir "$INSTDIR"
  ${EndIf}
SectionEnd

Function un.onUninstSuccess
  IfRebootFlag 0 +2
    SetErrorLevel ${EXIT_RESTART}
FunctionEnd
