; The Pelk installer. Built by the build (make dist) with:
;   makensis -DVERSION=<x.y> -DBIN=<folder of Pelk.exe and ReadMe.htm> -DOUTFILE=<setup.exe> pelk.nsi
; Installs Pelk.exe, ReadMe.htm and DefSet.txt (so that each user's settings go to the
; application-data folder) into Program Files, with a Start-menu shortcut and an entry
; in Add/Remove Programs. /S installs and uninstalls silently.
; With -DX64 it is an installer for 64-bit Windows of the 64-bit Pelk.exe, into the
; 64-bit Program Files; without, the 32-bit installer for every Windows.

!ifdef X64
Target amd64-unicode
!define PROGRAM_FILES "$PROGRAMFILES64"
!else
Unicode true
!define PROGRAM_FILES "$PROGRAMFILES"
!endif
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelk"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "Pelk ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\Pelk"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Pelk"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Pelk ${VERSION} Setup"
VIAddVersionKey "CompanyName" "Pelk developers"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 Pelk developers"

!define MUI_FINISHPAGE_RUN "$INSTDIR\Pelk.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Pelk"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Ends a running Pelk the way its own Exit does: the menu command 2002 to its
; hidden "PELKDLG" window, which saves the settings first.
!macro EndRunningPelk
    FindWindow $0 "PELKDLG"
    ${If} $0 <> 0
        SendMessage $0 ${WM_COMMAND} 2002 0 /TIMEOUT=5000
        StrCpy $1 0
        ${Do}
            Sleep 100
            IntOp $1 $1 + 1
            FindWindow $0 "PELKDLG"
            ${If} $0 == 0
            ${OrIf} $1 >= 50
                ${ExitDo}
            ${EndIf}
        ${Loop}
        Sleep 1000
    ${EndIf}
!macroend

Section "Pelk"
    !insertmacro EndRunningPelk
    SetOutPath "$INSTDIR"
    File "${BIN}/Pelk.exe"
    File "${BIN}/ReadMe.htm"
    FileOpen $0 "$INSTDIR\DefSet.txt" w
    FileClose $0
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateDirectory "$SMPROGRAMS\Pelk"
    CreateShortcut "$SMPROGRAMS\Pelk\Pelk.lnk" "$INSTDIR\Pelk.exe"
    CreateShortcut "$SMPROGRAMS\Pelk\Pelk Help.lnk" "$INSTDIR\ReadMe.htm"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Pelk"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pelk developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Pelk.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The settings and the log stay in the application-data folder.
Section "Uninstall"
    !insertmacro EndRunningPelk
    ; The start-with-Windows value goes only when it starts this copy.
    ReadRegStr $0 HKCU "${RUN_KEY}" "Pelk.exe"
    ${If} $0 == '"$INSTDIR\Pelk.exe" /q'
    ${OrIf} $0 == '$INSTDIR\Pelk.exe /q'
        DeleteRegValue HKCU "${RUN_KEY}" "Pelk.exe"
    ${EndIf}
    Delete "$INSTDIR\Pelk.exe"
    Delete "$INSTDIR\ReadMe.htm"
    Delete "$INSTDIR\DefSet.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Pelk\Pelk.lnk"
    Delete "$SMPROGRAMS\Pelk\Pelk Help.lnk"
    RMDir "$SMPROGRAMS\Pelk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
