// The whole-program harness: one copy of Pelk in a temporary folder, driven
// through its windows and observed through its files.
#include "pelk.h"

#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "settings/log_format.h"

std::string registryText(HKEY root, const char* key, const char* value)
{
    char text[700] = "";
    DWORD size = sizeof text;
    SHGetValueA(root, key, value, nullptr, text, &size);
    return text;
}

void writeWhole(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

void removeTree(const std::string& folder)
{
    std::string from = folder.substr(0, folder.size() - 1) + '\0';  // a list of one, without the backslash
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
}

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount(); !condition(); Sleep(20)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
    }
    return true;
}

std::string textOf(HWND window)
{
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string textOf(HWND dialog, int id) { return textOf(GetDlgItem(dialog, id)); }

void press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void pick(HWND dialog, int id, int index)
{
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string entries(HWND dialog, int id)
{
    std::string joined;
    for (LRESULT i = 0, n = SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0); i < n; ++i) {
        wchar_t entry[100] = L"";  // the narrow form does not cross the process boundary under Wine
        SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
        joined += (i ? "|" : "") + std::string(entry, entry + lstrlenW(entry));
    }
    return joined;
}

bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

static BOOL CALLBACK pasteIfEdit(HWND control, LPARAM)
{
    char name[8] = "";
    GetClassNameA(control, name, sizeof name);
    if (lstrcmpiA(name, "Edit") == 0) {
        SendMessageA(control, EM_SETSEL, 0, -1);
        SendMessageA(control, WM_PASTE, 0, 0);
    }
    return TRUE;
}

void pasteIntoEveryEdit(HWND dialog, const std::string& text)
{
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    lstrcpyA(static_cast<char*>(GlobalLock(copy)), text.c_str());
    GlobalUnlock(copy);
    OpenClipboard(nullptr);
    EmptyClipboard();
    SetClipboardData(CF_TEXT, copy);
    CloseClipboard();
    EnumChildWindows(dialog, pasteIfEdit, 0);
}

HWND showPage(HWND sheet, int index)
{
    if (index >= 0)
        SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

void moveCursor(int x, int y)
{
    // Under Xvfb a late pointer event can undo a move: it is repeated until it holds.
    waitUntil([x, y] {
        POINT at{};
        SetCursorPos(x, y);
        Sleep(30);
        return GetCursorPos(&at) && at.x == x && at.y == y;
    });
}

bool waitForClose(HWND window, DWORD timeoutMs)
{
    return waitUntil([window] { return !IsWindow(window); }, timeoutMs);
}

Pelk::Pelk(const char* program) : program_(program)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    do  // Wine gives each run's process the same number: a folder an earlier run left is not reused
        folder_ = temp + ("pelk test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + "\\");
    while (!CreateDirectoryA(folder_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    char own[MAX_PATH];
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    std::strcpy(std::strrchr(own, '\\') + 1, program);
    CopyFileA(own, path(program).c_str(), FALSE);
}

Pelk::~Pelk()
{
    kill();
    if (owned_)
        removeTree(folder_);
}

void Pelk::kill()
{
    if (process_.hProcess == nullptr)
        return;
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, patienceMs);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = {};
    started_ = false;
    window_ = nullptr;
}

size_t Pelk::memory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(process_.hProcess, &counters, sizeof counters);
    return counters.PagefileUsage;
}

void Pelk::writeSettings(const Fields& fields)
{
    Settings s{};
    applyDefaults(s);
    for (const auto& field : fields)
        s.*field.first = field.second;
    unsigned char bytes[settingsFileSize];
    encodeSettingsFile(s, bytes);
    writeWhole(path("dPelk.dat"), std::string(reinterpret_cast<char*>(bytes), sizeof bytes));
}

// The file is written whole beside and moved over, with a time of its own: Wine goes on using
// a file it has read while the file's time stays the same, and two writes can fall in one tick.
void Pelk::setReadings(std::initializer_list<std::pair<const char*, unsigned long long>> readings)
{
    for (const auto& reading : readings)
        readings_[reading.first] = std::to_string(reading.second);
    std::string text = "[readings]\r\n", next = path("PowerReadings.new");
    for (const auto& reading : readings_)
        text += reading.first + "=" + reading.second + "\r\n";
    writeWhole(next, text);
    static ULONGLONG written = 130000000000000000ull;  // in 2012, a second later each time
    const FILETIME time = {static_cast<DWORD>(written += 10000000), static_cast<DWORD>(written >> 32)};
    HANDLE file = CreateFileA(next.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    // Wine moves nothing over a file that is open: a reading under way ends first.
    waitUntil([&] { return MoveFileExA(next.c_str(), path("PowerReadings.ini").c_str(), MOVEFILE_REPLACE_EXISTING) != 0; });
}

// Every program a test starts ends with the test program, however that ends: a test
// program that dies must not leave a copy that holds the single-instance mutex.
static HANDLE startedPrograms = [] {
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}();

// Those of an earlier test program end a moment after it: a test begins once they have.
static const bool noEarlierCopies = waitUntil([] { return FindWindowA("PELKDLG", nullptr) == nullptr; });

bool Pelk::start(const std::string& arguments)
{
    std::string line = "\"" + path(program_.c_str()) + "\" " + arguments;
    // No standard handles: under Wine a child would otherwise hold the test's output
    // pipe (ctest's) open after the test program has ended.
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    if (!noEarlierCopies ||
        !CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, folder_.c_str(),
                        &startup, &process_))
        return false;
    AssignProcessToJobObject(startedPrograms, process_.hProcess);
    ResumeThread(process_.hThread);
    return true;
}

bool Pelk::startQuiet(const Fields& fields)
{
    writeSettings(fields);
    return start("/q") && ready();
}

bool Pelk::ready(DWORD timeoutMs)
{
    if (!started_)
        started_ = waitUntil([this] { return read("PowerJournal.txt").find("KillTimer main 1\r\n") != std::string::npos; },
                             timeoutMs);
    return started_ && send(WM_NULL, 0, 0, timeoutMs);
}

bool Pelk::waitForExit(DWORD timeoutMs)
{
    return WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(process_.hProcess, &exitCode_);
}

bool Pelk::running() { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

DWORD Pelk::imageBase() const
{
    // The program is of this test's width, so its headers are of this build's form;
    // an exit code holds the low 32 bits of a 64-bit address.
    std::string image = read(program_.c_str());
    const char* pe = image.data() + *reinterpret_cast<const LONG*>(image.data() + 0x3C);
    return static_cast<DWORD>(reinterpret_cast<const IMAGE_NT_HEADERS*>(pe)->OptionalHeader.ImageBase);
}

std::vector<HWND> Pelk::windows(const char* className)
{
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        bool hidden = !IsWindowVisible(w) && (std::strcmp(className, "#32770") == 0 || std::strcmp(className, "#32768") == 0);
        if (owner == process_.dwProcessId && !hidden)
            found.push_back(w);
    }
    return found;
}

HWND Pelk::window()
{
    if (window_ == nullptr)
        waitUntil([this] {
            std::vector<HWND> found = windows("PELKDLG");
            window_ = found.empty() ? nullptr : found[0];
            return window_ != nullptr || !running();
        });
    return window_;
}

bool Pelk::send(UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window(), message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result) != 0;
}

HWND Pelk::waitForDialog(HWND other, DWORD timeoutMs)
{
    HWND found = nullptr;
    waitUntil([&] {
        for (HWND dialog : windows())
            found = dialog != other ? dialog : found;
        return found != nullptr;
    }, timeoutMs);
    return found;
}

std::string Pelk::tip(HWND dialog, int id)
{
    // The tool record lives in the program: it is filled in memory lent there. The wide
    // form, for the narrow one gives at most 79 characters of a tip.
    HWND control = GetDlgItem(dialog, id);
    char* remote = static_cast<char*>(VirtualAllocEx(process_.hProcess, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    TOOLINFOW tool{TTTOOLINFOW_V1_SIZE, 0, control, reinterpret_cast<UINT_PTR>(control)};
    tool.lpszText = reinterpret_cast<wchar_t*>(remote + 64);
    wchar_t wide[1000] = L"";
    WriteProcessMemory(process_.hProcess, remote, &tool, sizeof tool, nullptr);
    WriteProcessMemory(process_.hProcess, remote + 64, wide, sizeof wide, nullptr);
    for (HWND tips : windows(TOOLTIPS_CLASSA))
        SendMessageA(tips, TTM_GETTEXTW, 999, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process_.hProcess, remote + 64, wide, sizeof wide - sizeof(wchar_t), nullptr);
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    char text[1000] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

// The journal's lines that start with one of `prefixes` (wanted) or with none of them.
Lines Pelk::journalLines(bool wanted, std::initializer_list<std::string> prefixes) const
{
    Lines lines;
    std::string text = read("PowerJournal.txt");
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::string line = text.substr(start, end - start);
        if (std::any_of(prefixes.begin(), prefixes.end(), [&](const std::string& p) { return line.rfind(p, 0) == 0; }) == wanted)
            lines.push_back(line);
    }
    return lines;
}

Lines Pelk::journal() const
{
    return journalLines(false, {"SetTimer", "KillTimer", "Shell_NotifyIcon", "RegisterApplicationRestart", "ReportEvent"});
}

Lines Pelk::powerCalls() const
{
    return journalLines(false, {"SetTimer", "KillTimer", "Shell_NotifyIcon", "RegisterApplicationRestart", "ReportEvent",
                                "SetProcessShutdownParameters", "Console", "PlaySound"});
}

Lines Pelk::events() const { return journalLines(true, {"ReportEvent"}); }

Lines Pelk::timers(const std::string& owner) const { return journalLines(true, {"SetTimer " + owner, "KillTimer " + owner}); }

Lines Pelk::trayIcon() const { return journalLines(true, {"Shell_NotifyIcon"}); }

bool Pelk::waitForPowerCalls(size_t count, DWORD timeoutMs)
{
    return waitUntil([&] { return powerCalls().size() >= count; }, timeoutMs);
}

std::string Pelk::read(const char* name) const
{
    std::ifstream file(path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

Lines Pelk::logTexts() const
{
    Lines texts;
    std::string log = read(logFileName);
    for (size_t start = logHeaderSize, end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2)
        texts.push_back(log.substr(start + 47, end - start - 47));  // after the time, the date and " : "
    return texts;
}

bool Pelk::savedSettings(Settings& s) const
{
    std::string saved = read("dPelk.dat");
    s = Settings{};
    decodeSettingsFile(reinterpret_cast<const unsigned char*>(saved.data()), saved.size(), s);
    return saved.size() == settingsFileSize && saved.compare(0, 8, "Pelk1300") == 0;
}

Settings Pelk::exitAndSaved()
{
    Settings saved{};
    command(2002);
    EXPECT_TRUE(waitForExit() && savedSettings(saved));
    return saved;
}
