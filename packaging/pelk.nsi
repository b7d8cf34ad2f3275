; The Pelk installer. Built by the build (make dist) with:
;   makensis -DVERSION=<x.y> -DBIN=<folder of Pelk.exe and ReadMe.htm> -DOUTFILE=<setup.exe>
;            -DMSI_UPGRADE_CODE=<the UpgradeCode of pelk.wxs> pelk.nsi
; Installs Pelk.exe, ReadMe.htm and DefSet.txt (so that each user's settings go to the
; application-data folder) into Program Files, for every user of the computer: the
; shortcuts go to the all-users Start menu, the entry to Add/Remove Programs of the
; machine. /S installs and uninstalls silently.
; With -DX64 it is an installer for 64-bit Windows of the 64-bit Pelk.exe, into the
; 64-bit Program Files; without, the 32-bit installer for every Windows. Either replaces
; a Pelk of the other width and the Windows Installer package of either width, so that
; one Pelk remains, and refuses to replace a newer one (exit code 1638 when silent).

!ifdef X64
Target amd64-unicode
!define PROGRAM_FILES "$PROGRAMFILES64"
!define OWN_VIEW 64
!define OTHER_VIEW 32
!else
Unicode true
!define PROGRAM_FILES "$PROGRAMFILES"
!define OWN_VIEW 32
!define OTHER_VIEW 64
!endif
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"
!include "WinVer.nsh"
!include "WordFunc.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelk"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define EVENT_LOG_KEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\Pelk"
!define QUIET_SHORTCUT "Pelk in the tray.lnk"
; The version as numbers too, for the Add/Remove entry's VersionMajor and VersionMinor,
; which the package compares (as numbers) with its own.
!searchparse "${VERSION}" "" VERSION_MAJOR "." VERSION_MINOR

; Code for 64-bit Windows only, where the other width's registry view exists; the 64-bit
; installer runs there alone.
!macro On64BitWindows
!ifndef X64
    ${If} ${RunningX64}
!endif
!macroend
!macro End64BitWindows
!ifndef X64
    ${EndIf}
!endif
!macroend

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

; A version installed ($R1, empty when none) that is newer than this one: the install
; stops before anything changed, with a message (none when silent) and ERROR_PRODUCT_VERSION.
!macro RefuseOverNewer
    ${VersionCompare} "$R1" "${VERSION}" $R0
    ${If} $R0 == 1
        MessageBox MB_OK|MB_ICONSTOP "Pelk $R1, a newer version, is already installed. To install this older one, remove the newer one first (Add or Remove Programs)." /SD IDOK
        SetErrorLevel 1638
        Quit
    ${EndIf}
!macroend

; A Pelk of this installer for the other width (its entry is in the other registry view,
; its program in the other Program Files) is uninstalled with its own uninstaller.
!macro RemoveOtherWidthPelk
    !insertmacro On64BitWindows
        SetRegView ${OTHER_VIEW}
        ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
        SetRegView ${OWN_VIEW}
        ${If} $1 != ""
        ${AndIf} ${FileExists} "$1\Uninstall.exe"
            ExecWait '"$1\Uninstall.exe" /S _?=$1'
            Delete "$1\Uninstall.exe"
            RMDir "$1"
        ${EndIf}
    !insertmacro End64BitWindows
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

; Shortcuts and folders of all users, in the installer and the uninstaller alike. Every
; Pelk installed is looked at first: this installer's of either width, and the packages.
Function .onInit
    SetShellVarContext all
    ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
    !insertmacro RefuseOverNewer
    !insertmacro On64BitWindows
        SetRegView ${OTHER_VIEW}
        ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
        SetRegView ${OWN_VIEW}
        !insertmacro RefuseOverNewer
    !insertmacro End64BitWindows
    StrCpy $R2 0
    ${Do}
        System::Call 'msi::MsiEnumRelatedProducts(t "${MSI_UPGRADE_CODE}", i 0, i R2, t .R3) i .R0'
        ${If} $R0 <> 0
            ${ExitDo}
        ${EndIf}
        System::Call 'msi::MsiGetProductInfo(t R3, t "VersionString", t .R1, *i ${NSIS_MAX_STRLEN}) i .R0'
        !insertmacro RefuseOverNewer
        IntOp $R2 $R2 + 1
    ${Loop}
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

; The same, quietly into the tray, for a Pelk that ran before the install: the shell
; passes no arguments, so it opens the shortcut that gives /q.
Function StartPelkQuietly
    ${If} ${AtLeastWinVista}
        Exec '"$WINDIR\explorer.exe" "$INSTDIR\${QUIET_SHORTCUT}"'
    ${Else}
        Exec '"$INSTDIR\Pelk.exe" /q'
    ${EndIf}
FunctionEnd

Section "Pelk"
    ; Whether Pelk runs in this session, to start it again at the end.
    FindWindow $R9 "PELKDLG"
    !insertmacro RemovePackagedPelk
    !insertmacro RemoveOtherWidthPelk
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
    CreateShortcut "$INSTDIR\${QUIET_SHORTCUT}" "$INSTDIR\Pelk.exe" "/q"
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
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
    ; Every user's start, which ends at once unless the Auto Start policy is in effect,
    ; and the event log's source.
    WriteRegStr HKLM "${RUN_KEY}" "Pelk" '"$INSTDIR\Pelk.exe" /q:policy'
    WriteRegExpandStr HKLM "${EVENT_LOG_KEY}" "EventMessageFile" "$INSTDIR\Pelk.exe"
    WriteRegDWORD HKLM "${EVENT_LOG_KEY}" "TypesSupported" 7
    ${If} $R9 <> 0
        Call StartPelkQuietly
    ${EndIf}
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
    ReadRegStr $0 HKLM "${RUN_KEY}" "Pelk"
    ${If} $0 == '"$INSTDIR\Pelk.exe" /q:policy'
        DeleteRegValue HKLM "${RUN_KEY}" "Pelk"
    ${EndIf}
    ReadRegStr $0 HKLM "${EVENT_LOG_KEY}" "EventMessageFile"
    ${If} $0 == "$INSTDIR\Pelk.exe"
        DeleteRegKey HKLM "${EVENT_LOG_KEY}"
    ${EndIf}
    ; A Pelk of another session cannot be ended from here, and a file may be held
    ; open: what cannot go now goes when Windows restarts.
    Delete /REBOOTOK "$INSTDIR\Pelk.exe"
    Delete /REBOOTOK "$INSTDIR\Pelk.exe.new"
    Delete /REBOOTOK "$INSTDIR\ReadMe.htm"
    Delete /REBOOTOK "$INSTDIR\DefSet.txt"
    Delete /REBOOTOK "$INSTDIR\Uninstall.exe"
    Delete /REBOOTOK "$INSTDIR\${QUIET_SHORTCUT}"
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
