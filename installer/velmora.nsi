; Velmora setup: one script for the 32-bit and the 64-bit build.
;
;   makensis -DARCH=x86|x64 -DVERSION=2.5 -DSTAGE=<staged program folder>
;            -DOUTFILE=<setup .exe> installer/velmora.nsi
;
; Velmora keeps its menus and settings beside its executable, so it is
; installed for the current user only, into a folder that user can write to,
; and needs no administrator rights.
;
; Running the setup again over an installed copy repairs the program files and
; touches nothing else: the Menus and Icons folders, the options, the search
; history and every other file the program or the user wrote stay as they are.
; netsrch.ini ships with the program but is the user's to edit, so a copy that
; is already there is kept too.
;
; The uninstaller removes the program files and the shortcuts, then asks
; whether to remove the user's menus and settings as well. Silently (/S) it
; keeps them, unless /REMOVEDATA is given too.
;
; The setup program itself is always a 32-bit program, so that the 64-bit
; setup can still tell a 32-bit Windows that it does not fit.

Unicode true

!ifndef ARCH | VERSION | STAGE | OUTFILE
  !error "Define ARCH (x86 or x64), VERSION, STAGE and OUTFILE, see the top of this file."
!endif
!if "${ARCH}" != "x86"
  !if "${ARCH}" != "x64"
    !error "ARCH must be x86 or x64, not ${ARCH}"
  !endif
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
!define PUBLISHER "The Velmora developers"

Name "Velmora ${VERSION}"
Caption "Velmora ${VERSION} Setup"
UninstallCaption "Velmora ${VERSION} Uninstall"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Velmora"
; An installed copy is repaired where it is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true
BrandingText "Velmora ${VERSION} (${ARCH})"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Velmora"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Velmora ${VERSION} Setup (${ARCH})"
VIAddVersionKey "CompanyName" "Velmora"
VIAddVersionKey "LegalCopyright" "(c) 2026 the Velmora developers"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"
!include "x64.nsh"

!define MUI_ICON "${__FILEDIR__}/../resources/art/velmora.ico"
!define MUI_UNICON "${__FILEDIR__}/../resources/art/velmora.ico"
!define MUI_ABORTWARNING
!define MUI_CUSTOMFUNCTION_ABORT RemoveEmptyFolder

!define MUI_WELCOMEPAGE_TEXT "Setup will install Velmora ${VERSION} for you alone; it needs no administrator rights.$\r$\n$\r$\nIf Velmora is installed already, Setup repairs it and keeps your menus and settings.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolderWritable
!define MUI_DIRECTORYPAGE_TEXT_TOP "Velmora keeps your menus and settings in its own folder, so it needs a folder you can write to. $_CLICK"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Velmora.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Velmora"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The running program holds its executable open and would also write its
; state after the files changed under it. Velmora runs once per session,
; whatever folder it was started from; closing its hidden minimize window is
; its own way out, which saves the options and the toolbar's place first.
!macro DEFINE_CLOSE_VELMORA PREFIX
Function ${PREFIX}CloseVelmora
  FindWindow $0 "VelmoraMinimize"
  ${If} $0 = 0
    Return
  ${EndIf}
  MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Velmora is running. It will be closed now; your menus and settings are saved first." /SD IDOK IDOK close
  SetErrorLevel 2
  Quit
close:
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  StrCpy $1 0
  ${Do}
    FindWindow $0 "VelmoraMinimize"
    ${If} $0 = 0
      ; Its windows are gone; give the process a moment to let go of its files.
      Sleep 500
      Return
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 100
  MessageBox MB_OK|MB_ICONSTOP "Velmora did not close. Please choose Exit in the Velmora menu, then run this again." /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_VELMORA ""
!insertmacro DEFINE_CLOSE_VELMORA "un."

Function .onInit
  !if "${ARCH}" == "x64"
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "This is the setup of the 64-bit Velmora, and this Windows is a 32-bit Windows.$\r$\n$\r$\nPlease use velmora-setup-${VERSION}-x86.exe instead; it runs on every Windows." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  !endif
FunctionEnd

; A folder the user cannot write to would take the program but not its state
; (without administrator rights, Program Files is such a folder).
Function IsFolderWritable
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $0 "$INSTDIR\velmora-setup.~wt" w
  ${If} ${Errors}
    Push 0
  ${Else}
    FileClose $0
    Delete "$INSTDIR\velmora-setup.~wt"
    Push 1
  ${EndIf}
FunctionEnd

; The folder check above makes the folder; a setup cancelled afterwards takes
; it away again when nothing else is in it.
Function RemoveEmptyFolder
  RMDir "$INSTDIR"
FunctionEnd

Function CheckFolderWritable
  Call IsFolderWritable
  Pop $0
  ${If} $0 = 0
    RMDir "$INSTDIR"
    MessageBox MB_OK|MB_ICONEXCLAMATION "You cannot write to $INSTDIR.$\r$\n$\r$\nVelmora keeps your menus and settings in its own folder. Please choose a folder of your own."
    Abort
  ${EndIf}
FunctionEnd

Section "Velmora" SecProgram
  SectionIn RO
  Call CloseVelmora
  Call IsFolderWritable
  Pop $0
  ${If} $0 = 0
    MessageBox MB_OK|MB_ICONSTOP "You cannot write to $INSTDIR. Please choose a folder of your own." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}

  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${STAGE}/Velmora.exe"
  File "${STAGE}/VLShell.dll"
  File "${STAGE}/icon.lib"
  File "${STAGE}/velmora.hlp"
  File "${STAGE}/velmora.cnt"
  File "${STAGE}/velmora.chm"
  ; The user's own engines file stays.
  SetOverwrite off
  File "${STAGE}/netsrch.ini"
  SetOverwrite on

  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The working folder of the shortcut is $OUTDIR, the program folder.
  CreateShortcut "$SMPROGRAMS\Velmora.lnk" "$INSTDIR\Velmora.exe" "" "$INSTDIR\Velmora.exe" 0 SW_SHOWNORMAL "" "The Velmora toolbar"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Velmora"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Velmora.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "HelpLink" "mailto:support@velmora.app"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; The program files only (in KB), not the user's menus and icons.
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Var RemoveData

Function un.onInit
  StrCpy $RemoveData 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEDATA" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveData 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.CloseVelmora
  ${If} $RemoveData = 0
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Remove your Velmora menus and settings as well?$\r$\n$\r$\nChoose No to keep them in $INSTDIR for a later installation of Velmora." /SD IDNO IDNO keep
    StrCpy $RemoveData 1
  keep:
  ${EndIf}

  Delete "$INSTDIR\Velmora.exe"
  Delete "$INSTDIR\VLShell.dll"
  Delete "$INSTDIR\icon.lib"
  Delete "$INSTDIR\velmora.hlp"
  Delete "$INSTDIR\velmora.cnt"
  Delete "$INSTDIR\velmora.chm"
  Delete "$SMPROGRAMS\Velmora.lnk"
  ; The shortcut the program put into the Startup folder on request: left
  ; behind, it would start a program that is no longer there at every logon.
  Delete "$SMSTARTUP\Velmora.lnk"

  ${If} $RemoveData = 1
    ; What the program writes, by name: the folder may hold other files of
    ; the user's, which stay (and so does the folder then).
    RMDir /r "$INSTDIR\Menus"
    RMDir /r "$INSTDIR\Icons"
    Delete "$INSTDIR\vlmra250.dat"
    Delete "$INSTDIR\toolbarp.dat"
    Delete "$INSTDIR\mainmenu.dat"
    Delete "$INSTDIR\nsearch.dat"
    Delete "$INSTDIR\netsrch.ini"
    Delete "$INSTDIR\openurl.ini"
    Delete "$INSTDIR\httpicon.ini"
    Delete "$INSTDIR\httpicon.htm"
    Delete "$INSTDIR\temphtml.htm"
    Delete "$INSTDIR\tempurl.url"
    Delete "$INSTDIR\iconcach.dat"
    ; Left by a write that was cut short.
    Delete "$INSTDIR\*.~vl"
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; Last: until here an interrupted uninstall can be run again from the list
  ; of installed programs.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
