// Test harness for the whole program under Wine.
#include "pelk_process.h"

#include "support/test_files.h"

#include <cstdio>
#include <cstring>

#include "settings/log_format.h"

void pause(DWORD ms) { Sleep(ms); }

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

std::string windowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string controlText(HWND dialog, int id)
{
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void pressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool waitForClose(HWND window, DWORD timeoutMs)
{
    return waitUntil([window] { return !IsWindow(window); }, timeoutMs);
}

PelkProcess::PelkProcess(const char* program) : program_(program)
{
    folder_ = newTempFolder("program");
    CopyFileA((ownFolder() + program).c_str(), (folder_ + program).c_str(), FALSE);
}

PelkProcess::~PelkProcess()
{
    if (process_.hProcess != nullptr) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    removeTree(folder_);
}

void PelkProcess::writeSettingsRecord(const Settings& s)
{
    unsigned char bytes[settingsFileSize];
    encodeSettingsFile(s, bytes);
    writeBytes(path("dPelk.dat"), std::string(reinterpret_cast<char*>(bytes), sizeof bytes));
}

void PelkProcess::setReading(const char* key, unsigned long long value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%llu", value);
    WritePrivateProfileStringA("readings", key, text, path("PowerReadings.ini").c_str());
}

bool PelkProcess::start(const std::string& arguments)
{
    std::string line = "\"" + path(program_.c_str()) + "\"";
    if (!arguments.empty())
        line += " " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    return CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                          &startup, &process_) != FALSE;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    bool visibleOnly;
    std::vector<HWND> found;
};

static BOOL CALLBACK collectWindow(HWND window, LPARAM lParam)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (owner == search->processId && std::strcmp(name, search->className) == 0 &&
        (!search->visibleOnly || IsWindowVisible(window)))
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> PelkProcess::windowsOfClass(const char* className)
{
    WindowSearch search{process_.dwProcessId, className, std::strcmp(className, "PELKDLG") != 0, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND PelkProcess::waitForWindow(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        std::vector<HWND> windows = windowsOfClass("PELKDLG");
        if (!windows.empty())
            return window_ = windows[0];
        if (!running())
            return nullptr;
        Sleep(50);
    }
    return nullptr;
}

HWND PelkProcess::waitForDialog(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        std::vector<HWND> dialogs = windowsOfClass("#32770");
        if (!dialogs.empty())
            return dialogs.back();
        Sleep(50);
    }
    return nullptr;
}

bool PelkProcess::waitForExit(DWORD timeoutMs)
{
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process_.hProcess, &exitCode_);
    return true;
}

bool PelkProcess::running() { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

void PelkProcess::post(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window_ == nullptr)
        waitForWindow();
    PostMessageA(window_, message, wParam, lParam);
}

bool PelkProcess::send(UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs)
{
    if (window_ == nullptr)
        waitForWindow();
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window_, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result) != 0;
}

std::string PelkProcess::readFile(const char* name) const { return readWhole(path(name)); }

bool PelkProcess::fileExists(const char* name) const { return exists(path(name)); }

std::vector<std::string> PelkProcess::logTexts() const
{
    std::vector<std::string> texts;
    std::string log = readFile(logFileName);
    size_t start = log.compare(0, logHeaderSize, logHeader) == 0 ? logHeaderSize : 0;
    const size_t textColumn = logTimeColumn + logDateColumn;
    for (size_t end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::string line = log.substr(start, end - start);
        if (line.size() >= textColumn + 3 && line.compare(textColumn, 3, " : ") == 0)
            line = line.substr(textColumn + 3);
        texts.push_back(line);
    }
    if (start < log.size())
        texts.push_back(log.substr(start));
    return texts;
}

unsigned long long PelkProcess::lastWriteTime(const char* name) const
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path(name).c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

bool PelkProcess::readSavedSettings(Settings& s) const
{
    std::string saved = readFile("dPelk.dat");
    if (saved.size() != settingsFileSize)
        return false;
    s = Settings{};
    decodeSettingsFile(reinterpret_cast<const unsigned char*>(saved.data()), saved.size(), s);
    return true;
}

std::vector<std::string> PelkProcess::journal() const
{
    std::vector<std::string> lines;
    std::string text = readFile("PowerJournal.txt");
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> PelkProcess::powerCalls() const
{
    std::vector<std::string> calls;
    for (const std::string& line : journal())
        if (line.rfind("SetProcessShutdownParameters", 0) != 0)
            calls.push_back(line);
    return calls;
}

bool PelkProcess::waitForPowerCalls(size_t count, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (powerCalls().size() < count) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

DWORD PelkProcess::imageBase() const
{
    std::string image = readFile(program_.c_str());
    if (image.size() < 0x200)
        return 0;
    DWORD peOffset;
    std::memcpy(&peOffset, image.data() + 0x3C, 4);
    DWORD base;
    std::memcpy(&base, image.data() + peOffset + 24 + 28, 4);  // OptionalHeader.ImageBase (PE32)
    return base;
}
