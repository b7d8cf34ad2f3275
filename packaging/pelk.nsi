; The Pelk installer. Built by the build (make dist) with:
;   makensis -DVERSION=<x.y> -DBIN=<folder of Pelk.exe and ReadMe.htm> -DOUTFILE=<setup.exe>
;            -DMSI_UPGRADE_CODE=<the UpgradeCode of pelk.wxs> pelk.nsi
; Installs Pelk.exe, ReadMe.htm and DefSet.txt (so that each user's settings go to the
; application-data folder) into Program Files, for every user of the computer: the
; shortcuts go to the all-users Start menu, the entry to Add/Remove Programs of the
; machine. /S installs and uninstalls silently.
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
!include "WinVer.nsh"

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
VIAddVersionKey "CompanyName" "Orvenlit"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 Orvenlit"

; "Start Pelk" on the finish page (offered only when no restart is pending).
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Pelk"
!define MUI_FINISHPAGE_RUN_FUNCTION StartPelkAsUser
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Ends a running Pelk of this session through its own Exit, which saves the settings
; first. "Pelk.exe /exit" asks it to end and waits for it (0: ended or none ran). A
; Pelk.exe older than 1.4 takes /exit for a plain start and would open the options
; instead, and an older copy that runs does not answer it: then, or when /exit failed,
; the menu command 2002 (Exit) goes to its hidden "PELKDLG" window, as before.
!macro EndRunningPelk
    StrCpy $0 1
    ${If} ${FileExists} "$INSTDIR\Pelk.exe"
        ClearErrors
        GetDLLVersion "$INSTDIR\Pelk.exe" $1 $2
        ${IfNot} ${Errors}
        ${AndIf} $1 >= 0x00010004
            ExecWait '"$INSTDIR\Pelk.exe" /exit' $0
        ${EndIf}
    ${EndIf}
    FindWindow $1 "PELKDLG"
    ${If} $0 <> 0
    ${AndIf} $1 <> 0
        SendMessage $1 ${WM_COMMAND} 2002 0 /TIMEOUT=5000
        StrCpy $2 0
        ${Do}
            Sleep 100
            IntOp $2 $2 + 1
            FindWindow $1 "PELKDLG"
            ${If} $1 == 0
            ${OrIf} $2 >= 50
                ${ExitDo}
            ${EndIf}
        ${Loop}
        Sleep 1000
    ${EndIf}
!macroend

; A Pelk that the Windows Installer package put on this computer is uninstalled first,
; so that one Pelk remains; its uninstall ends it through /exit. Found by the package's
; UpgradeCode, whatever its version.
!macro RemovePackagedPelk
    System::Call 'msi::MsiEnumRelatedProducts(t "${MSI_UPGRADE_CODE}", i 0, i 0, t .r1) i .r0'
    ${If} $0 == 0
        ExecWait '"$SYSDIR\msiexec.exe" /x $1 /qn' $0
    ${EndIf}
!macroend

!macro RemoveShortcuts
    Delete "$SMPROGRAMS\Pelk\Pelk.lnk"
    Delete "$SMPROGRAMS\Pelk\Pelk Help.lnk"
    RMDir "$SMPROGRAMS\Pelk"
!macroend

; Shortcuts and folders of all users, in the installer and the uninstaller alike.
Function .onInit
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetShellVarContext all
FunctionEnd

; Pelk runs as the user who is logged on, not with this installer's administrator
; token: an elevated Pelk never receives the shell's "TaskbarCreated" (messages from
; lower integrity are filtered), so its icon would be lost when Explorer restarts; and
; after a standard user typed an administrator's password it would keep that account's
; settings, Run value and idle time. The running shell starts what it is asked to open
; at its own integrity, as its own user. Windows 2000 and XP have no integrity levels.
Function StartPelkAsUser
    ${If} ${AtLeastWinVista}
        Exec '"$WINDIR\explorer.exe" "$INSTDIR\Pelk.exe"'
    ${Else}
        Exec '"$INSTDIR\Pelk.exe"'
    ${EndIf}
FunctionEnd

Section "Pelk"
    !insertmacro RemovePackagedPelk
    !insertmacro EndRunningPelk
    SetOutPath "$INSTDIR"
    ; A Pelk that is still running (in another user's session, where no window of it
    ; can be found) holds the old program: the new one takes its place when Windows
    ; restarts, which the finish page then offers.
    SetOverwrite try
    ClearErrors
    File "${BIN}/Pelk.exe"
    SetOverwrite on
    ${If} ${Errors}
        File "/oname=Pelk.exe.new" "${BIN}/Pelk.exe"
        Rename /REBOOTOK "$INSTDIR\Pelk.exe.new" "$INSTDIR\Pelk.exe"
    ${EndIf}
    File "${BIN}/ReadMe.htm"
    FileOpen $0 "$INSTDIR\DefSet.txt" w
    FileClose $0
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    ; Older versions made the shortcuts for the installing account only.
    SetShellVarContext current
    !insertmacro RemoveShortcuts
    SetShellVarContext all
    CreateDirectory "$SMPROGRAMS\Pelk"
    CreateShortcut "$SMPROGRAMS\Pelk\Pelk.lnk" "$INSTDIR\Pelk.exe"
    CreateShortcut "$SMPROGRAMS\Pelk\Pelk Help.lnk" "$INSTDIR\ReadMe.htm"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Pelk"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Orvenlit"
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
    ; A Pelk of another session cannot be ended from here, and a file may be held
    ; open: what cannot go now goes when Windows restarts.
    Delete /REBOOTOK "$INSTDIR\Pelk.exe"
    Delete /REBOOTOK "$INSTDIR\Pelk.exe.new"
    Delete /REBOOTOK "$INSTDIR\ReadMe.htm"
    Delete /REBOOTOK "$INSTDIR\DefSet.txt"
    Delete /REBOOTOK "$INSTDIR\Uninstall.exe"
    RMDir /REBOOTOK "$INSTDIR"
    !insertmacro RemoveShortcuts
    SetShellVarContext current
    !insertmacro RemoveShortcuts
    SetShellVarContext all
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ${If} ${RebootFlag}
        MessageBox MB_OK|MB_ICONINFORMATION "Pelk is still in use, perhaps by another user. Its remaining files will be removed when Windows restarts." /SD IDOK
    ${EndIf}
SectionEnd
