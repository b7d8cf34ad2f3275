// The whole-program harness: one copy of Pelk in a temporary folder, driven
// through its windows and observed through its files.
#include "pelk.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "settings/log_format.h"

std::string readWhole(const std::string& path)
{
    std::string content;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return content;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        content.append(buffer, n);
    std::fclose(file);
    return content;
}

void writeWhole(const std::string& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

void removeTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            removeTree(folder + name + "\\");
        else
            DeleteFileA((folder + name).c_str());
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    RemoveDirectoryA(folder.c_str());
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

bool waitForClose(HWND window, DWORD timeoutMs)
{
    return waitUntil([window] { return !IsWindow(window); }, timeoutMs);
}

Pelk::Pelk(const char* program) : program_(program)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    folder_ = std::string(temp) + "pelk-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++counter) + "\\";
    removeTree(folder_);
    CreateDirectoryA(folder_.c_str(), nullptr);
    char own[MAX_PATH];
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    std::strcpy(std::strrchr(own, '\\') + 1, program);
    CopyFileA(own, path(program).c_str(), FALSE);
}

Pelk::~Pelk()
{
    if (process_.hProcess != nullptr) {
        if (running()) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    removeTree(folder_);
}

void Pelk::writeSettings(const std::function<void(Settings&)>& edit)
{
    Settings s{};
    applyDefaults(s);
    edit(s);
    unsigned char bytes[settingsFileSize];
    encodeSettingsFile(s, bytes);
    writeWhole(path("dPelk.dat"), std::string(reinterpret_cast<char*>(bytes), sizeof bytes));
}

void Pelk::setReading(const char* key, unsigned long long value)
{
    WritePrivateProfileStringA("readings", key, std::to_string(value).c_str(), path("PowerReadings.ini").c_str());
}

bool Pelk::start(const std::string& arguments)
{
    std::string line = "\"" + path(program_.c_str()) + "\" " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    return CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup,
                          &process_) != FALSE;
}

bool Pelk::startQuiet(const std::function<void(Settings&)>& edit)
{
    writeSettings([&edit](Settings& s) {
        s.trayIconEnabled = 0;
        edit(s);
    });
    return start("/q") && waitUntil([this] {
        Lines set = timers();
        return std::find(set.begin(), set.end(), "KillTimer main 1") != set.end();
    }) && ready();
}

bool Pelk::waitForExit(DWORD timeoutMs)
{
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process_.hProcess, &exitCode_);
    return true;
}

bool Pelk::running() { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

DWORD Pelk::imageBase() const
{
    std::string image = read(program_.c_str());
    DWORD peOffset = 0, base = 0;
    if (image.size() < 0x200)
        return 0;
    std::memcpy(&peOffset, image.data() + 0x3C, 4);
    std::memcpy(&base, image.data() + peOffset + 24 + 28, 4);  // OptionalHeader.ImageBase of a PE32 file
    return base;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    std::vector<HWND> found;
};

static BOOL CALLBACK collect(HWND window, LPARAM lParam)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    char name[64] = "";
    GetWindowThreadProcessId(window, &owner);
    GetClassNameA(window, name, sizeof name);
    bool hiddenOk = std::strcmp(search->className, "#32770") != 0;
    if (owner == search->processId && lstrcmpiA(name, search->className) == 0 && (hiddenOk || IsWindowVisible(window)))
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> Pelk::windows(const char* className)
{
    WindowSearch search{process_.dwProcessId, className, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Pelk::window()
{
    if (window_ == nullptr) {
        waitUntil([this] {
            std::vector<HWND> found = windows("PELKDLG");
            window_ = found.empty() ? nullptr : found[0];
            return window_ != nullptr || !running();
        }, 20000);
    }
    return window_;
}

bool Pelk::send(UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs)
{
    DWORD_PTR result = 0;
    return window() != nullptr &&
           SendMessageTimeoutA(window(), message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result) != 0;
}

HWND Pelk::waitForDialog(HWND other, DWORD timeoutMs)
{
    HWND found = nullptr;
    waitUntil([&] {
        for (HWND dialog : windows())
            if (dialog != other)
                return (found = dialog) != nullptr;
        return false;
    }, timeoutMs);
    return found;
}

std::vector<std::pair<int, std::string>> Pelk::tips(HWND dialog)
{
    // The tool records live in the program: they are read through memory lent there.
    std::vector<std::pair<int, std::string>> found;
    std::vector<HWND> tipWindows = windows(TOOLTIPS_CLASSA);
    char* remote = static_cast<char*>(VirtualAllocEx(process_.hProcess, nullptr, 8192, MEM_COMMIT, PAGE_READWRITE));
    for (size_t w = 0; w < tipWindows.size() && remote != nullptr; ++w) {
        LRESULT count = SendMessageA(tipWindows[w], TTM_GETTOOLCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            TOOLINFOA tool{};
            tool.cbSize = TTTOOLINFOA_V1_SIZE;
            WriteProcessMemory(process_.hProcess, remote, &tool, sizeof tool, nullptr);
            SendMessageA(tipWindows[w], TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(remote));
            ReadProcessMemory(process_.hProcess, remote, &tool, sizeof tool, nullptr);
            if (!IsWindow(tool.hwnd) || GetParent(tool.hwnd) != dialog)
                continue;
            // The wide form: the narrow one gives at most 79 characters of a tip.
            wchar_t wide[1024] = L"";
            tool.lpszText = remote + 1024;
            WriteProcessMemory(process_.hProcess, remote, &tool, sizeof tool, nullptr);
            WriteProcessMemory(process_.hProcess, remote + 1024, wide, sizeof(wchar_t), nullptr);
            SendMessageA(tipWindows[w], TTM_GETTEXTW, 1023, reinterpret_cast<LPARAM>(remote));
            ReadProcessMemory(process_.hProcess, remote + 1024, wide, sizeof wide - sizeof(wchar_t), nullptr);
            char text[1024] = "";
            WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
            found.emplace_back(GetDlgCtrlID(tool.hwnd), text);
        }
    }
    if (remote != nullptr)
        VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    return found;
}

// The journal's lines that start with one of `prefixes` (wanted) or with none of them.
static Lines journalLines(const std::string& text, bool wanted, std::initializer_list<const char*> prefixes)
{
    Lines lines;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::string line = text.substr(start, end - start);
        bool matches = false;
        for (const char* prefix : prefixes)
            matches = matches || line.rfind(prefix, 0) == 0;
        if (matches == wanted)
            lines.push_back(line);
    }
    return lines;
}

Lines Pelk::journal() const { return journalLines(read("PowerJournal.txt"), false, {"SetTimer", "KillTimer"}); }

Lines Pelk::powerCalls() const
{
    return journalLines(read("PowerJournal.txt"), false, {"SetTimer", "KillTimer", "SetProcessShutdownParameters"});
}

Lines Pelk::timers() const { return journalLines(read("PowerJournal.txt"), true, {"SetTimer", "KillTimer"}); }

bool Pelk::waitForPowerCalls(size_t count, DWORD timeoutMs)
{
    return waitUntil([&] { return powerCalls().size() >= count; }, timeoutMs);
}

std::string Pelk::read(const char* name) const { return readWhole(path(name)); }

Lines Pelk::logTexts() const
{
    Lines texts;
    std::string log = read(logFileName);
    const size_t textColumn = logTimeColumn + logDateColumn + 3;
    size_t start = log.compare(0, logHeaderSize, logHeader) == 0 ? logHeaderSize : 0;
    for (size_t end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::string line = log.substr(start, end - start);
        texts.push_back(line.size() >= textColumn ? line.substr(textColumn) : line);
    }
    return texts;
}

bool Pelk::savedSettings(Settings& s) const
{
    std::string saved = read("dPelk.dat");
    s = Settings{};
    decodeSettingsFile(reinterpret_cast<const unsigned char*>(saved.data()), saved.size(), s);
    return saved.size() == settingsFileSize && saved.compare(0, 8, "Pelk1300") == 0;
}
