#!/bin/sh
# The 32-bit Pelk.exe as Windows 2000 would load it, read from the file: PE32 for
# i386, the GUI subsystem and system version 4.0, and only imports that Windows 2000
# has. A function new to the imports is checked against Windows 2000 first and then
# added below; a newer one is looked up at run time instead.
# Arguments: the objdump of the 32-bit tools, Pelk.exe.
set -eu
windows2000="ADVAPI32.DLL AdjustTokenPrivileges InitiateSystemShutdownA LookupPrivilegeValueA OpenProcessToken
  RegCloseKey RegCreateKeyExA RegDeleteValueA RegOpenKeyExA RegQueryValueExA RegSetValueExA RegisterEventSourceA ReportEventA
COMCTL32.DLL CreatePropertySheetPageA InitCommonControlsEx PropertySheetA
GDI32.DLL CreateFontA DeleteObject GetDeviceCaps
  CreateBitmap CreateCompatibleDC CreateDIBSection DeleteDC PatBlt SelectObject GetStockObject SetBkColor SetDCBrushColor SetTextColor
KERNEL32.DLL CancelWaitableTimer CloseHandle CopyFileA CreateDirectoryA CreateFileA CreateMutexA CreateThread
  CreateWaitableTimerA DeleteCriticalSection DeleteFileA EnterCriticalSection ExitProcess FlushFileBuffers
  FreeLibrary GetCommandLineA GetCurrentProcess GetDateFormatA GetDriveTypeA GetFileSize GetLastError
  GetModuleFileNameA GetModuleHandleA GetProcAddress GetStartupInfoA GetSystemPowerStatus GetSystemTime
  GetCurrentThreadId GetLocalTime GetTickCount GetTimeFormatA GetVersionExA GlobalAlloc GlobalFree GlobalLock GlobalUnlock
  InitializeCriticalSection LeaveCriticalSection LoadLibraryA MoveFileExA ReadFile SetFilePointer
  SetProcessShutdownParameters SetSystemPowerState SetUnhandledExceptionFilter SetWaitableTimer Sleep
  SystemTimeToFileTime TlsGetValue VirtualProtect VirtualQuery WideCharToMultiByte WriteFile lstrlenA
  CreateToolhelp32Snapshot Process32First Process32Next
  FormatMessageA FreeConsole GetCurrentProcessId GetSystemDirectoryA SetLastError SetThreadExecutionState
  WaitForSingleObject lstrcatA lstrcpyA
  GetCurrentDirectoryA GetProcessHeap HeapAlloc HeapFree lstrcmpiA lstrcpynA
MSVCRT.DLL __getmainargs __initenv __p__acmdln __p__commode __p__fmode __set_app_type __setusermatherr
  _amsg_exit _cexit _initterm _iob _onexit abort calloc exit fprintf free fwrite malloc memchr memcmp memcpy signal
  memmove strchr strcmp strlen strncmp strrchr vfprintf
SHELL32.DLL SHGetSpecialFolderPathA ShellExecuteA Shell_NotifyIconA
USER32.DLL AppendMenuA CheckDlgButton CheckRadioButton CloseClipboard CreateDialogParamA CreatePopupMenu
  GetClientRect GetDC GetMonitorInfoA MapWindowPoints MonitorFromPoint MonitorFromRect ReleaseDC SetRect ShowWindow
  CreateWindowExA DefWindowProcA DestroyIcon DestroyMenu DestroyWindow DialogBoxParamA DispatchMessageA EmptyClipboard
  EnableWindow EndDialog EnumThreadWindows ExitWindowsEx GetCursorPos GetDlgItem GetDlgItemTextA GetLastInputInfo GetMessageA
  GetSystemMetrics GetWindowLongA GetWindowRect IsDialogMessageA IsDlgButtonChecked IsWindow IsWindowVisible KillTimer LoadImageA
  MessageBeep MessageBoxA MoveWindow OpenClipboard PostMessageA PostQuitMessage RegisterClassExA RegisterWindowMessageA
  ReleaseCapture ReplyMessage SendDlgItemMessageA SendMessageA SetCapture SetClipboardData SetDlgItemInt SetDlgItemTextA
  SetFocus SetForegroundWindow SetTimer SetWindowLongA SetWindowPos SetWindowTextA TrackPopupMenu TranslateMessage
  AllowSetForegroundWindow FindWindowA GetWindowThreadProcessId SendMessageTimeoutA
  CreateIconIndirect GetClassNameA MapDialogRect BeginPaint EndPaint FillRect GetSysColor InflateRect InvalidateRect RedrawWindow SystemParametersInfoA"
headers=$("$1" -p "$2")
known=$(echo "$windows2000" | awk '/^[A-Z]/ {dll = $1; $1 = ""} {for (i = 1; i <= NF; i++) print dll "!" $i}')
imports=$(echo "$headers" | awk '/DLL Name:/ {dll = toupper($3)} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ {print dll "!" $3}')
faults=$(echo "$imports" | grep -vxF "$known" | sed 's/^/not known on Windows 2000: /')
# A listing that could not be read would pass every import.
echo "$imports" | grep -qxF 'USER32.DLL!ExitWindowsEx' || faults="$faults no imports read"
for expected in 'file format pei-i386$' '^Magic\s+010b' '^Subsystem\s+00000002' '^MajorOSystemVersion\s+4$' \
    '^MinorOSystemVersion\s+0$' '^MajorSubsystemVersion\s+4$' '^MinorSubsystemVersion\s+0$'; do
  echo "$headers" | grep -qE "$expected" || faults="$faults
not in the headers: $expected"
done
# Nor does Wine show how the program scales: the manifest asks for per-monitor DPI of
# version 2, else the system's (and UTF-8), and the icon's group directory (reserved 0, type 1, count 7, then 14-byte entries
# of width, height, colours, reserved, planes 1, 32 bits, ...) lists the sizes from 100%
# to 300%.
for entry in '>true</dpiAware>' '>PerMonitorV2, System</dpiAwareness>' '>UTF-8</activeCodePage>'; do
  grep -qF "$entry" "$2" || faults="$faults
not in the manifest: $entry"
done
icon=$(od -An -v -tx1 "$2" | tr '\n' ' ' | tr -s ' ' | grep -o ' 00 00 01 00 07 00\( .. .. 00 00 01 00 20 00\( ..\)\{6\}\)\{7\}' || true)
widths=$(echo "$icon" | cut -d' ' -f8,22,36,50,64,78,92)
[ "$widths" = "10 14 18 20 28 30 40" ] || faults="$faults
icon widths in hexadecimal: '$widths', not 10 14 18 20 28 30 40 (16 to 64)"
[ -z "$faults" ] && echo "PE32 for i386, GUI, version 4.0; all $(echo "$imports" | wc -l) imports on Windows 2000; manifest and icon for any DPI"
[ -z "$faults" ] || { echo "$faults"; exit 1; }
