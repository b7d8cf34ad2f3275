#!/bin/sh
# The 32-bit Pelk.exe as Windows 2000 would load it, read from the file: PE32 for
# i386, the GUI subsystem and system version 4.0, and only imports that Windows 2000
# has. A function new to the imports is checked against Windows 2000 first and then
# added below; a newer one is looked up at run time instead.
# Arguments: the objdump of the 32-bit tools, Pelk.exe.
set -eu
windows2000="
ADVAPI32.DLL AdjustTokenPrivileges InitiateSystemShutdownA LookupPrivilegeValueA OpenProcessToken
  RegCloseKey RegCreateKeyExA RegDeleteValueA RegOpenKeyExA RegSetValueExA
COMCTL32.DLL CreatePropertySheetPageA InitCommonControlsEx PropertySheetA
GDI32.DLL CreateFontA DeleteObject
KERNEL32.DLL CancelWaitableTimer CloseHandle CopyFileA CreateDirectoryA CreateFileA CreateMutexA
  CreateThread CreateWaitableTimerA DeleteCriticalSection DeleteFileA EnterCriticalSection
  ExitProcess FlushFileBuffers FreeLibrary GetCommandLineA GetCurrentProcess GetDateFormatA
  GetDriveTypeA GetFileSize GetLastError GetModuleFileNameA GetModuleHandleA GetProcAddress
  GetStartupInfoA GetSystemPowerStatus GetSystemTime GetTickCount GetTimeFormatA GetVersionExA
  GlobalAlloc GlobalFree GlobalLock GlobalUnlock InitializeCriticalSection LeaveCriticalSection
  LoadLibraryA MoveFileExA ReadFile SetFilePointer SetProcessShutdownParameters
  SetSystemPowerState SetUnhandledExceptionFilter SetWaitableTimer Sleep SystemTimeToFileTime
  TlsGetValue VirtualProtect VirtualQuery WideCharToMultiByte WriteFile lstrlenA
MSVCRT.DLL __getmainargs __initenv __p__acmdln __p__commode __p__fmode __set_app_type
  __setusermatherr _amsg_exit _cexit _initterm _iob _onexit abort calloc exit fprintf free
  fwrite malloc memcmp memcpy signal strchr strcmp strlen strncmp strrchr vfprintf
SHELL32.DLL SHGetSpecialFolderPathA ShellExecuteA Shell_NotifyIconA
USER32.DLL AppendMenuA CheckDlgButton CheckRadioButton CloseClipboard CreateDialogParamA
  CreatePopupMenu CreateWindowExA DefWindowProcA DestroyMenu DestroyWindow DialogBoxParamA
  DispatchMessageA EmptyClipboard EnableWindow EndDialog ExitWindowsEx GetCursorPos GetDlgItem
  GetDlgItemTextA GetLastInputInfo GetMessageA GetSystemMetrics GetWindowLongA IsDialogMessageA
  IsDlgButtonChecked IsWindow KillTimer LoadImageA MessageBoxA MoveWindow OpenClipboard
  PostMessageA PostQuitMessage RegisterClassExA RegisterWindowMessageA ReleaseCapture
  SendDlgItemMessageA SendMessageA SetCapture SetClipboardData SetDlgItemInt SetDlgItemTextA
  SetFocus SetForegroundWindow SetTimer SetWindowLongA SetWindowPos TrackPopupMenu TranslateMessage
"
headers=$("$1" -p "$2")
status=0
expect() {  # pattern, what it means
  printf '%s\n' "$headers" | grep -qE "$1" || { echo "Pelk.exe is not $2"; status=1; }
}
expect 'file format pei-i386$' "a file for i386"
expect '^Magic[[:space:]]+010b' "a PE32 file"
expect '^Subsystem[[:space:]]+00000002' "a GUI program"
for field in OSystemVersion SubsystemVersion; do
  expect "^Major$field[[:space:]]+4\$" "for system version 4"
  expect "^Minor$field[[:space:]]+0\$" "for system version 4.0"
done
known=$(printf '%s\n' "$windows2000" | awk '/^[A-Z0-9]+\.DLL/ {dll = $1; $1 = ""} { for (i = 1; i <= NF; i++) print dll "!" $i }')
imports=$(printf '%s\n' "$headers" | awk '/DLL Name:/ {dll = toupper($3)} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ {print dll "!" $3}')
count=$(printf '%s\n' "$imports" | grep -c '!')
for name in $imports; do
  printf '%s\n' "$known" | grep -qxF "$name" || { echo "Pelk.exe imports $name, not known to be on Windows 2000"; status=1; }
done
# A listing that could not be read would pass every import above.
printf '%s\n' "$imports" | grep -qxF 'USER32.DLL!ExitWindowsEx' || { echo "no imports read"; status=1; }
[ $status -eq 0 ] && echo "PE32 for i386, GUI, version 4.0; all $count imports on Windows 2000"
exit $status
