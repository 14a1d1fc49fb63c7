; Installer for Quorix: puts the build that matches Windows into the system
; folder (for all users) or into the user's own programs folder (only for the
; user), makes it the screen saver if asked, and registers an uninstaller.
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

!define PRODUCT "Quorix"
!define PUBLISHER "the Quorix authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorix"
!define DESKTOP_KEY "Control Panel\Desktop"
; Sends the profile functions for the saver's section of control.ini, which a
; standard user cannot write since Vista, to that user's own key.
!define MAPPING_KEY "SOFTWARE\Microsoft\Windows NT\CurrentVersion\IniFileMapping\control.ini"
!define MAPPING_NAME "Screen Saver.Quorix"
!define MAPPING_TARGET "USR:Control Panel\Screen Saver.Quorix"
!define RUNONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define SCR_NAME "quorix.scr"
!define UNINSTALLER_NAME "uninstall.exe"
; Windows' code for "done, restart needed".
!define EXIT_RESTART 3010
!define EXIT_FAILED 2
!define EXIT_ELEVATION_REQUIRED 740

; For all users (the default for an administrator) or only for the current
; user, who needs no administrator rights: "highest" asks no elevation of a
; user who has none, and MultiUser then installs for that user alone.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_FUNCTION InstallModeChosen
!define MULTIUSER_INSTALLMODE_UNFUNCTION un.InstallModeChosen
; The page comes last before the install: its button says Install, not Next.
!define MULTIUSER_INSTALLMODEPAGE_TEXT_TOP "Select whether you want to install $(^NameDA) only for yourself or for all users of this computer. $(^ClickInstall)"
!include "MultiUser.nsh"
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
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

Var SaverDir    ; where quorix.scr lives: the system folder or $INSTDIR
Var Folder      ; the file being put in place or removed: $Folder\$FileName
Var FileName
Var Aside       ; that file renamed aside, and its name alone
Var AsideName
Var LaterTail   ; what a per-user removal at sign-in does after the file
Var FinishText

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
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

; After MultiUser chose the mode (and the installer's $INSTDIR for it).
Function ${UN}InstallModeChosen
  ${If} $MultiUser.InstallMode == "AllUsers"
    StrCpy $SaverDir $SYSDIR
    ; MultiUser's all-users folder is the 32-bit one for a 32-bit installer.
    !if "${UN}" == ""
      ${If} ${RunningX64}
        StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
      ${EndIf}
    !endif
  ${Else}
    StrCpy $SaverDir $INSTDIR
  ${EndIf}
FunctionEnd

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
  ${If} $MultiUser.InstallMode == "AllUsers"
    Delete /REBOOTOK $Aside
  ${Else}
    ; A deletion at restart is kept in HKLM, which takes an administrator:
    ; the user's own RunOnce removes the file at the next sign-in instead.
    WriteRegStr HKCU "${RUNONCE_KEY}" "${PRODUCT} $AsideName" \
      '"$SYSDIR\cmd.exe" /c del /f /q "$Aside"$LaterTail'
    SetRebootFlag true
  ${EndIf}
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
  ; The restart note takes the place of "Click Finish": three paragraphs fill
  ; the room above the check box.
  ${IfNot} ${RebootFlag}
    StrCpy $FinishText "$FinishText$\r$\n$\r$\nClick Finish to close this wizard."
  ${ElseIf} $MultiUser.InstallMode == "AllUsers"
    StrCpy $FinishText "$FinishText$\r$\n$\r$\nThe copy of $(^NameDA) that was running keeps running until it ends. The old file is removed at the next restart."
  ${Else}
    StrCpy $FinishText "$FinishText$\r$\n$\r$\nThe copy of $(^NameDA) that was running keeps running until it ends. The old file is removed the next time you sign in."
  ${EndIf}
FunctionEnd

!macroend
!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ; MultiUser refuses /AllUsers to a user without rights with a message box
  ; that a silent run would wait on: refuse it here first.
  UserInfo::GetAccountType
  Pop $0
  ${GetParameters} $1
  ${StrStr} $2 $1 "/AllUsers"
  ${If} $2 != ""
  ${AndIf} $0 != "Admin"
  ${AndIf} $0 != "Power"
    MessageBox MB_ICONSTOP "Installing Quorix for all users needs administrator rights." /SD IDOK
    SetErrorLevel ${EXIT_ELEVATION_REQUIRED}
    Quit
  ${EndIf}
  !insertmacro MULTIUSER_INIT
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
    ${If} $MultiUser.InstallMode == "AllUsers"
      ${DisableX64FSRedirection}
    ${EndIf}
    SetRegView 64
  ${EndIf}
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    !insertmacro PUT_IN_PLACE "$SaverDir" "${SCR_NAME}" "${SCR_X64}"
  ${Else}
    !insertmacro PUT_IN_PLACE "$SaverDir" "${SCR_NAME}" "${SCR_X86}"
  ${EndIf}
  !insertmacro PUT_IN_PLACE "$INSTDIR" "${UNINSTALLER_NAME}" "uninstaller"

  ; EstimatedSize is in KiB: the saver and the uninstaller, rounded up.
  StrCpy $1 0
  FileOpen $0 "$SaverDir\${SCR_NAME}" r
  FileSeek $0 0 END $2
  FileClose $0
  IntOp $1 $1 + $2
  FileOpen $0 "$INSTDIR\${UNINSTALLER_NAME}" r
  FileSeek $0 0 END $2
  FileClose $0
  IntOp $1 $1 + $2
  IntOp $1 $1 + 1023
  IntOp $1 $1 / 1024

  ; SHCTX is HKLM for all users, HKCU for the current user alone.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} screen saver"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$SaverDir\${SCR_NAME},0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER_NAME}"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER_NAME}" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1

  ; The saver of one user falls back to that user's key by itself.
  ${If} $MultiUser.InstallMode == "AllUsers"
    ; In both views on 64-bit Windows: the 32-bit build reads the 32-bit one.
    WriteRegStr HKLM "${MAPPING_KEY}" "${MAPPING_NAME}" "${MAPPING_TARGET}"
    ${If} ${RunningX64}
      SetRegView 32
      WriteRegStr HKLM "${MAPPING_KEY}" "${MAPPING_NAME}" "${MAPPING_TARGET}"
      SetRegView 64
    ${EndIf}
  ${EndIf}
SectionEnd

; What the Screen Saver settings store when the user picks a saver.
Function MakeCurrentSaver
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SaverDir\${SCR_NAME}"
FunctionEnd

Function .onInstSuccess
  ${If} ${Silent}
    Call MakeCurrentSaver
  ${EndIf}
  IfRebootFlag 0 +2
    SetErrorLevel ${EXIT_RESTART}
FunctionEnd

; The uninstaller removes the install of the folder it stands in: the one
; registered for the current user when that names this folder, else the one
; for all users.
Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  !insertmacro MULTIUSER_UNINIT
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 == $INSTDIR
    Call un.MultiUser.InstallMode.CurrentUser
  ${ElseIf} $MultiUser.Privileges == "Admin"
  ${OrIf} $MultiUser.Privileges == "Power"
    Call un.MultiUser.InstallMode.AllUsers
  ${Else}
    MessageBox MB_ICONSTOP "Removing Quorix for all users needs administrator rights." /SD IDOK
    SetErrorLevel ${EXIT_ELEVATION_REQUIRED}
    Quit
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
    ${If} $MultiUser.InstallMode == "AllUsers"
      ${DisableX64FSRedirection}
    ${EndIf}
    SetRegView 64
  ${EndIf}
  ; At the next sign-in the last file to go takes its folder along.
  StrCpy $LaterTail ""
  ${If} $MultiUser.InstallMode == "CurrentUser"
    StrCpy $LaterTail ' & rmdir "$INSTDIR"'
  ${EndIf}
  ; Both files go before the registration: one that stays keeps it.
  StrCpy $Folder $SaverDir
  StrCpy $FileName "${SCR_NAME}"
  Call un.RemoveFile
  StrCpy $Folder $INSTDIR
  StrCpy $FileName "${UNINSTALLER_NAME}"
  Call un.RemoveFile

  ; Take back the screen saver only while it is still this one (named in full,
  ; in short, or, for the system folder's, alone); the user may have chosen
  ; another one since. The users' settings stay: their own keys and any
  ; section in control.ini.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "$SaverDir"
  StrCpy $2 "$SaverDir\${SCR_NAME}"
  ${If} $MultiUser.InstallMode == "AllUsers"
  ${AndIf} $0 == "${SCR_NAME}"
    StrCpy $0 $2
  ${EndIf}
  ${If} $0 == $2
  ${OrIf} $0 == "$1\${SCR_NAME}"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}

  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ${If} $MultiUser.InstallMode == "AllUsers"
    ; Only our mapping goes; the key holds Windows' own.
    DeleteRegValue HKLM "${MAPPING_KEY}" "${MAPPING_NAME}"
    ${If} ${RunningX64}
      SetRegView 32
      DeleteRegValue HKLM "${MAPPING_KEY}" "${MAPPING_NAME}"
      SetRegView 64
    ${EndIf}
  ${EndIf}
  ; A file that waits for the restart in it takes the folder along then.
  ${If} $MultiUser.InstallMode == "AllUsers"
  ${AndIf} ${RebootFlag}
    RMDir /REBOOTOK "$INSTDIR"
  ${Else}
    RMDir "$INSTDIR"
  ${EndIf}
SectionEnd

Function un.onUninstSuccess
  IfRebootFlag 0 +2
    SetErrorLevel ${EXIT_RESTART}
FunctionEnd
