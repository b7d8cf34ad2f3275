// The real power layer: straight calls of Windows.
// The sockets' headers first: they bring the interface table of Windows Vista.
#include <winsock2.h>
#include <ws2ipdef.h>

#include "power/power_calls.h"

#include "app/look_up.h"

BOOL osExitWindowsEx(UINT flags, DWORD reason) { return ExitWindowsEx(flags, reason); }

BOOL osSetSystemPowerState(BOOL suspend, BOOL force) { return SetSystemPowerState(suspend, force); }

BOOL osInitiateSystemShutdown(const char* machine, const char* message, DWORD timeoutSeconds,
                              BOOL force, BOOL restart, DWORD reason)
{
    typedef BOOL(WINAPI * ShutdownExProc)(LPSTR, LPSTR, DWORD, BOOL, BOOL, DWORD);
    ShutdownExProc shutdownEx = lookUpFunction<ShutdownExProc>("ADVAPI32.dll", "InitiateSystemShutdownExA");
    char* name = const_cast<char*>(machine);
    char* text = const_cast<char*>(message);
    if (shutdownEx != nullptr)
        return shutdownEx(name, text, timeoutSeconds, force, restart, reason);
    return InitiateSystemShutdownA(name, text, timeoutSeconds, force, restart);
}

BOOL osSetProcessShutdownParameters(DWORD level, DWORD flags)
{
    return SetProcessShutdownParameters(level, flags);
}

HANDLE osCreateWakeTimer() { return CreateWaitableTimerA(nullptr, FALSE, nullptr); }

DWORD osSetWakeTimer(HANDLE timer, const LARGE_INTEGER* dueTime)
{
    SetLastError(0);
    if (timer == nullptr || !SetWaitableTimer(timer, dueTime, 0, nullptr, nullptr, TRUE))
        return timer == nullptr ? ERROR_INVALID_HANDLE : GetLastError();
    // Set all the same where the computer cannot wake: the system says so only here.
    return GetLastError() == ERROR_NOT_SUPPORTED ? ERROR_NOT_SUPPORTED : 0;
}

BOOL osWakeTimerFired(HANDLE timer) { return timer != nullptr && WaitForSingleObject(timer, 0) == WAIT_OBJECT_0; }

BOOL osCancelWakeTimer(HANDLE timer) { return CancelWaitableTimer(timer); }

void osCloseWakeTimer(HANDLE timer) { CloseHandle(timer); }

BOOL osShellNotifyIcon(DWORD operation, NOTIFYICONDATAA* data) { return Shell_NotifyIconA(operation, data); }

// The source is registered once and kept for the life of the process; one the system
// refuses is asked for again at the next entry.
void osReportEvent(WORD type, DWORD id, WORD count, const char** strings)
{
    static HANDLE source;
    if (source == nullptr)
        source = RegisterEventSourceA(nullptr, "Pelk");
    if (source != nullptr)
        ReportEventA(source, type, 0, id, nullptr, count, 0, strings, nullptr);
}

UINT_PTR osSetTimer(HWND window, UINT_PTR id, UINT periodMs) { return SetTimer(window, id, periodMs, nullptr); }

BOOL osKillTimer(HWND window, UINT_PTR id) { return KillTimer(window, id); }

BOOL osGetSystemPowerStatus(SYSTEM_POWER_STATUS* status) { return GetSystemPowerStatus(status); }

// The registrations last as long as the process.
void osListenForBatteryChanges(HWND window)
{
    typedef HANDLE(WINAPI * RegisterProc)(HANDLE, const GUID*, DWORD);
    RegisterProc registerSetting = lookUpFunction<RegisterProc>("USER32.dll", "RegisterPowerSettingNotification");
    // GUID_BATTERY_PERCENTAGE_REMAINING and GUID_ACDC_POWER_SOURCE.
    static const GUID settings[] = {{0xa7ad8041, 0xb45a, 0x4cae, {0x87, 0xa3, 0xee, 0xcb, 0xb4, 0x68, 0xa9, 0xe1}},
                                    {0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}}};
    for (const GUID& setting : settings) {
        if (registerSetting != nullptr)
            registerSetting(window, &setting, 0);  // DEVICE_NOTIFY_WINDOW_HANDLE
    }
}

DWORD osGetLastInputTick()
{
    LASTINPUTINFO info = {sizeof info, 0};
    GetLastInputInfo(&info);
    return info.dwTime;
}

DWORD osGetTickCount() { return GetTickCount(); }

BOOL osAwakeMs(ULONGLONG* ms)
{
    typedef BOOL(WINAPI * UnbiasedTimeProc)(ULONGLONG*);
    UnbiasedTimeProc unbiased = lookUpFunction<UnbiasedTimeProc>("KERNEL32.dll", "QueryUnbiasedInterruptTime");
    ULONGLONG units = 0;
    if (unbiased == nullptr || !unbiased(&units))
        return FALSE;
    *ms = units / 10000;
    return TRUE;
}

void osGetSystemTimeAsFileTime(FILETIME* now)
{
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    SystemTimeToFileTime(&utc, now);
}

void osGetLocalTime(WallTime* now)
{
    SYSTEMTIME local;
    GetLocalTime(&local);
    *now = {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wDayOfWeek, local.wSecond,
            local.wMilliseconds};
}

// The sound the user has chosen for exclamations, where winmm plays it; else a beep.
void osPlayWarningSound()
{
    typedef BOOL(WINAPI * PlaySoundProc)(const char*, HMODULE, DWORD);
    PlaySoundProc playSound = lookUpSystemFunction<PlaySoundProc>("winmm.dll", "PlaySoundA");
    const DWORD alias = 0x00010000 | 0x0001 | 0x0002;  // SND_ALIAS, SND_ASYNC, SND_NODEFAULT
    if (playSound == nullptr || !playSound("SystemExclamation", nullptr, alias))
        MessageBeep(MB_ICONEXCLAMATION);
}

bool osHighContrast()
{
    HIGHCONTRASTA highContrast = {sizeof highContrast, 0, nullptr};
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0) &&
           (highContrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

BOOL osFolderWritable(const char* folder)
{
    char path[MAX_PATH + 16];
    if (lstrlenA(folder) > MAX_PATH)
        return FALSE;
    lstrcpyA(path, folder);
    lstrcatA(path, "dPelk.tmp");
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    CloseHandle(file);
    return TRUE;
}

void osGetSleepAbilities(bool* canSuspend, bool* canHibernate)
{
    typedef BOOLEAN(WINAPI * CapabilitiesProc)(SYSTEM_POWER_CAPABILITIES*);
    CapabilitiesProc capabilities = lookUpSystemFunction<CapabilitiesProc>("powrprof.dll", "GetPwrCapabilities");
    SYSTEM_POWER_CAPABILITIES found;
    ZeroMemory(&found, sizeof found);
    if (capabilities == nullptr || !capabilities(&found)) {
        *canSuspend = *canHibernate = true;
        return;
    }
    *canSuspend = found.SystemS1 || found.SystemS2 || found.SystemS3;
    *canHibernate = found.SystemS4 && found.HiberFilePresent;
}

void osRequestSystemAndDisplay() { SetThreadExecutionState(ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED); }

// Not after a crash or a hang (RESTART_NO_CRASH, RESTART_NO_HANG), nor after a restart of
// Windows (RESTART_NO_REBOOT), which starts Pelk as the user chose.
void osRegisterRestart(const wchar_t* arguments)
{
    typedef HRESULT(WINAPI * RegisterProc)(PCWSTR, DWORD);
    RegisterProc registerRestart = lookUpFunction<RegisterProc>("KERNEL32.dll", "RegisterApplicationRestart");
    if (registerRestart != nullptr)
        registerRestart(arguments, 1 | 2 | 8);
}

void osReadSessions(SessionReading* sessions)
{
    typedef BOOL(WINAPI * SessionOfProc)(DWORD, DWORD*);
    typedef DWORD(WINAPI * ConsoleSessionProc)();
    typedef BOOL(WINAPI * QuerySessionProc)(HANDLE, DWORD, int, LPSTR*, DWORD*);
    typedef void(WINAPI * FreeProc)(void*);
    SessionOfProc sessionOf = lookUpFunction<SessionOfProc>("KERNEL32.dll", "ProcessIdToSessionId");
    ConsoleSessionProc consoleSession =
        lookUpFunction<ConsoleSessionProc>("KERNEL32.dll", "WTSGetActiveConsoleSessionId");
    ZeroMemory(sessions, sizeof *sessions);
    if (sessionOf == nullptr || consoleSession == nullptr || !sessionOf(GetCurrentProcessId(), &sessions->own))
        return;
    sessions->known = true;
    sessions->console = consoleSession();
    sessions->remote = GetSystemMetrics(0x1000) != 0;  // SM_REMOTESESSION
    if (!sessions->remote)
        return;
    QuerySessionProc query = lookUpSystemFunction<QuerySessionProc>("wtsapi32.dll", "WTSQuerySessionInformationA");
    FreeProc release = lookUpFunction<FreeProc>("wtsapi32.dll", "WTSFreeMemory");
    char* state = nullptr;
    DWORD bytes = 0;
    const DWORD thisSession = static_cast<DWORD>(-1);  // WTS_CURRENT_SESSION
    const int connectState = 8;                         // WTSConnectState
    if (query != nullptr && release != nullptr && query(nullptr, thisSession, connectState, &state, &bytes)) {
        sessions->remoteActive = bytes >= sizeof(int) && *reinterpret_cast<int*>(state) == 0;  // WTSActive
        release(state);
    }
}

bool osUserLoggedOnElsewhere()
{
    struct SessionInfo {
        DWORD id;
        LPSTR station;
        int state;
    };
    typedef BOOL(WINAPI * EnumerateProc)(HANDLE, DWORD, DWORD, SessionInfo**, DWORD*);
    typedef BOOL(WINAPI * QuerySessionProc)(HANDLE, DWORD, int, LPSTR*, DWORD*);
    typedef BOOL(WINAPI * SessionOfProc)(DWORD, DWORD*);
    typedef void(WINAPI * FreeProc)(void*);
    EnumerateProc enumerate = lookUpSystemFunction<EnumerateProc>("wtsapi32.dll", "WTSEnumerateSessionsA");
    QuerySessionProc query = lookUpFunction<QuerySessionProc>("wtsapi32.dll", "WTSQuerySessionInformationA");
    FreeProc release = lookUpFunction<FreeProc>("wtsapi32.dll", "WTSFreeMemory");
    SessionOfProc sessionOf = lookUpFunction<SessionOfProc>("KERNEL32.dll", "ProcessIdToSessionId");
    DWORD own = 0, count = 0;
    SessionInfo* list = nullptr;
    if (enumerate == nullptr || query == nullptr || release == nullptr || sessionOf == nullptr ||
        !sessionOf(GetCurrentProcessId(), &own) || !enumerate(nullptr, 0, 1, &list, &count))
        return false;
    bool found = false;
    const int active = 0, disconnected = 4, userName = 5;  // WTSActive, WTSDisconnected, WTSUserName
    for (DWORD i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        DWORD bytes = 0;
        if (list[i].id == own || (list[i].state != active && list[i].state != disconnected) ||
            !query(nullptr, list[i].id, userName, &name, &bytes))
            continue;
        found = bytes > 1 && name[0] != '\0';
        release(name);
    }
    release(list);
    return found;
}

DWORD osExecutionState()
{
    typedef LONG(WINAPI * PowerInformationProc)(int, void*, ULONG, void*, ULONG);
    PowerInformationProc information =
        lookUpSystemFunction<PowerInformationProc>("powrprof.dll", "CallNtPowerInformation");
    ULONG state = 0;
    const int systemExecutionState = 16;
    if (information == nullptr || information(systemExecutionState, nullptr, 0, &state, sizeof state) != 0)
        return 0;
    return state;
}

DWORD osUserNotificationState()
{
    typedef HRESULT(WINAPI * NotificationStateProc)(int*);
    NotificationStateProc query =
        lookUpFunction<NotificationStateProc>("SHELL32.dll", "SHQueryUserNotificationState");
    int state = 0;
    if (query == nullptr || query(&state) != S_OK)
        return 0;
    return static_cast<DWORD>(state);
}

// The readings of the program watch and of the idle shutdown's quiet conditions.
#include <tlhelp32.h>
#include <iphlpapi.h>
#include <netioapi.h>
#include <wtsapi32.h>

#include <cstdlib>

// The session list of Windows XP and later tells each process's session without opening
// it (a process of another user, or an elevated one, cannot be opened). The wide form, for
// Wine lists no process in the ANSI one; a list that lacks this process is not believed.
static bool walkSessionProcesses(bool (*visit)(const char*, bool, void*), void* context)
{
    typedef BOOL(WINAPI * SessionOfProc)(DWORD, DWORD*);
    typedef BOOL(WINAPI * EnumerateProc)(HANDLE, DWORD, DWORD, WTS_PROCESS_INFOW**, DWORD*);
    typedef void(WINAPI * FreeProc)(void*);
    SessionOfProc sessionOf = lookUpFunction<SessionOfProc>("KERNEL32.dll", "ProcessIdToSessionId");
    EnumerateProc enumerate = lookUpSystemFunction<EnumerateProc>("wtsapi32.dll", "WTSEnumerateProcessesW");
    FreeProc release = lookUpFunction<FreeProc>("wtsapi32.dll", "WTSFreeMemory");
    DWORD own = 0;
    WTS_PROCESS_INFOW* processes = nullptr;
    DWORD count = 0;
    if (sessionOf == nullptr || enumerate == nullptr || release == nullptr ||
        !sessionOf(GetCurrentProcessId(), &own) || !enumerate(nullptr, 0, 1, &processes, &count))
        return false;
    bool listsSelf = false;
    for (DWORD i = 0; i < count && !listsSelf; ++i)
        listsSelf = processes[i].ProcessId == GetCurrentProcessId();
    for (DWORD i = 0; listsSelf && i < count; ++i) {
        char name[3 * MAX_PATH];  // up to three bytes a character in the UTF-8 code page
        if (processes[i].pProcessName == nullptr ||
            !WideCharToMultiByte(CP_ACP, 0, processes[i].pProcessName, -1, name, sizeof name, nullptr, nullptr))
            name[0] = '\0';
        if (!visit(name, processes[i].SessionId == own, context))
            break;
    }
    release(processes);
    return listsSelf;
}

// Windows XP and later let a program attach to another's console; Windows 2000 does not.
// Attached when it was not, or using the console it has already (Wine gives a program
// its parent's): false when neither.
static bool useConsole(DWORD process, bool* attached)
{
    typedef BOOL(WINAPI * AttachConsoleProc)(DWORD);
    AttachConsoleProc attach = lookUpFunction<AttachConsoleProc>("KERNEL32.dll", "AttachConsole");
    *attached = attach != nullptr && attach(process);
    return *attached || (attach != nullptr && GetLastError() == ERROR_ACCESS_DENIED);
}

DWORD osConsoleOfParent()
{
    const DWORD parentProcess = static_cast<DWORD>(-1);  // ATTACH_PARENT_PROCESS
    bool attached = false;
    if (!useConsole(parentProcess, &attached))
        return 0;
    if (attached)
        FreeConsole();
    DWORD parent = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more && parent == 0; more = Process32Next(snapshot, &entry))
        parent = entry.th32ProcessID == GetCurrentProcessId() ? entry.th32ParentProcessID : 0;
    if (snapshot != INVALID_HANDLE_VALUE)
        CloseHandle(snapshot);
    return parent;
}

BOOL osWriteConsoleLine(DWORD consoleProcess, const char* line)
{
    bool attached = false;
    if (consoleProcess == 0 || !useConsole(consoleProcess, &attached))
        return FALSE;
    HANDLE console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 0, nullptr);
    DWORD written = 0;
    BOOL done = console != INVALID_HANDLE_VALUE && WriteFile(console, line, lstrlenA(line), &written, nullptr) &&
                WriteFile(console, "\r\n", 2, &written, nullptr);
    if (console != INVALID_HANDLE_VALUE)
        CloseHandle(console);
    if (attached)
        FreeConsole();
    return done;
}

// Without a session list to believe (Windows 2000 has none), every process is taken as this session's.
BOOL osWalkProcesses(bool (*visit)(const char* name, bool ownSession, void* context), void* context)
{
    if (walkSessionProcesses(visit, context))
        return TRUE;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return FALSE;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    BOOL listed = Process32First(snapshot, &entry);
    for (BOOL more = listed; more && visit(entry.szExeFile, true, context);)
        more = Process32Next(snapshot, &entry);
    CloseHandle(snapshot);
    return listed;
}

// Windows XP SP1 and later. Looked up at each reading, once a minute at most: a static
// initialised on first use would bring the runtime's thread-safe guard into Pelk.exe.
BOOL osGetSystemTimes(FILETIME* idle, FILETIME* kernel, FILETIME* user)
{
    typedef BOOL(WINAPI * SystemTimesProc)(FILETIME*, FILETIME*, FILETIME*);
    SystemTimesProc systemTimes = lookUpFunction<SystemTimesProc>("KERNEL32.dll", "GetSystemTimes");
    return systemTimes != nullptr && systemTimes(idle, kernel, user);
}

// The library is loaded at the first reading (and kept), so that Pelk.exe does not import it.
typedef DWORD(WINAPI * InterfaceTableProc)(MIB_IFTABLE*, ULONG*, BOOL);
typedef DWORD(WINAPI * InterfaceTable2Proc)(MIB_IF_TABLE2**);
typedef void(WINAPI * FreeTableProc)(void*);
static InterfaceTable2Proc interfaceTable2;
static FreeTableProc freeTable;
static InterfaceTableProc interfaceTable;

// Keeps an interface whose traffic counts, while there is room.
static void keep(const InterfaceOctets& row, InterfaceOctets* out, DWORD most, DWORD* count)
{
    if (*count < most && interfaceCarriesTraffic(row))
        out[(*count)++] = row;
}

// Vista and later: 64-bit counters, and the filter layers marked as such.
static BOOL readInterfaceTable2(InterfaceOctets* out, DWORD most, DWORD* count)
{
    MIB_IF_TABLE2* table = nullptr;
    if (interfaceTable2(&table) != NO_ERROR || table == nullptr)
        return FALSE;
    for (ULONG i = 0; i < table->NumEntries; ++i) {
        const MIB_IF_ROW2& row = table->Table[i];
        keep({row.InterfaceIndex, row.Type, row.InOctets, row.OutOctets,
              row.InterfaceAndOperStatusFlags.FilterInterface != 0, true}, out, most, count);
    }
    freeTable(table);
    return TRUE;
}

// Windows 2000 and XP: the table of 32-bit counters.
BOOL osGetInterfaceOctets(InterfaceOctets* out, DWORD most, DWORD* count)
{
    *count = 0;
    if (interfaceTable2 == nullptr && interfaceTable == nullptr) {
        interfaceTable2 = lookUpSystemFunction<InterfaceTable2Proc>("iphlpapi.dll", "GetIfTable2");
        freeTable = lookUpFunction<FreeTableProc>("iphlpapi.dll", "FreeMibTable");
        if (interfaceTable2 == nullptr || freeTable == nullptr)
            interfaceTable2 = nullptr;
        interfaceTable = lookUpSystemFunction<InterfaceTableProc>("iphlpapi.dll", "GetIfTable");
    }
    if (interfaceTable2 != nullptr)
        return readInterfaceTable2(out, most, count);
    ULONG size = 0;
    if (interfaceTable == nullptr || interfaceTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER)
        return FALSE;
    size += 4 * sizeof(MIB_IFROW);  // room for an interface that comes up in between
    MIB_IFTABLE* table = static_cast<MIB_IFTABLE*>(std::malloc(size));
    BOOL read = table != nullptr && interfaceTable(table, &size, FALSE) == NO_ERROR;
    for (DWORD i = 0; read && i < table->dwNumEntries; ++i) {
        const MIB_IFROW& row = table->table[i];
        keep({row.dwIndex, row.dwType, row.dwInOctets, row.dwOutOctets, false, false}, out, most, count);
    }
    std::free(table);
    return read;
}
