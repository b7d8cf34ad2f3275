// Driving the modal dialogs from a thread timer, and the dialog tests' fixture.
#include "dialog_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "power/power.h"

static ModalDriver* activeDriver;

ModalDriver::ModalDriver(Step step, DWORD limitMs) : step_(std::move(step)), limitMs_(limitMs)
{
    activeDriver = this;
    start_ = GetTickCount();
    timer_ = SetTimer(nullptr, 0, 10, onTick);
}

ModalDriver::~ModalDriver()
{
    KillTimer(nullptr, timer_);
    // A tick already queued finds no driver and does nothing.
    activeDriver = nullptr;
}

void CALLBACK ModalDriver::onTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (activeDriver != nullptr)
        activeDriver->tick();
}

static BOOL CALLBACK collectDialog(HWND window, LPARAM found)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") == 0)
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

void ModalDriver::discover()
{
    std::vector<HWND> open;
    EnumThreadWindows(GetCurrentThreadId(), collectDialog, reinterpret_cast<LPARAM>(&open));
    // The enumeration runs from the top of the z-order down; a newer dialog sits above older ones.
    std::reverse(open.begin(), open.end());
    for (HWND dialog : open) {
        if (std::find(dialogs_.begin(), dialogs_.end(), dialog) == dialogs_.end())
            dialogs_.push_back(dialog);
    }
}

HWND ModalDriver::newest() const
{
    for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it) {
        if (IsWindow(*it))
            return *it;
    }
    return nullptr;
}

void ModalDriver::tick()
{
    discover();
    if (timedOut_ || elapsedMs() > limitMs_) {
        timedOut_ = true;
        for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it) {
            if (IsWindow(*it))
                PostMessageA(*it, WM_COMMAND, IDCANCEL, 0);
        }
        return;
    }
    step_(*this);
}

ModalDriver::Step onFirstDialog(std::function<void(HWND)> act)
{
    return [act, acted = false](ModalDriver& d) mutable {
        HWND dialog = d.newest();
        if (dialog == nullptr || acted)
            return;
        acted = true;
        act(dialog);
    };
}

std::string windowText(HWND window)
{
    char text[1000] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string itemText(HWND dialog, int id) { return windowText(GetDlgItem(dialog, id)); }

bool controlFont(HWND control, LOGFONTA& font)
{
    HFONT handle = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (handle == nullptr)
        return false;
    ZeroMemory(&font, sizeof font);
    return GetObjectA(handle, sizeof font, &font) == sizeof font;
}

bool fontAlive(HFONT font)
{
    LOGFONTA details;
    return font != nullptr && GetObjectA(font, sizeof details, &details) == sizeof details;
}

void clickButton(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void pickEntry(HWND dialog, int id, int index)
{
    HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

HWND createOwnerWindow()
{
    static const char className[] = "PelkTestOwner";
    WNDCLASSA windowClass;
    if (!GetClassInfoA(GetModuleHandleA(nullptr), className, &windowClass)) {
        ZeroMemory(&windowClass, sizeof windowClass);
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);
    }
    return CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void DialogTest::SetUp()
{
    FolderTest::SetUp();
    instanceHandle = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    tips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instanceHandle, nullptr);
    controlTips = tips_;
    owner_ = createOwnerWindow();
    ASSERT_NE(nullptr, owner_);
    mainWindow = owner_;
    resetPromptRequest();
    promptRequest.answer = 0;
    ASSERT_EQ(0, promptOpen) << "a dialog of an earlier test is still counted as open";
}

void DialogTest::TearDown()
{
    mainWindow = nullptr;
    controlTips = nullptr;
    if (owner_ != nullptr)
        DestroyWindow(owner_);
    if (tips_ != nullptr)
        DestroyWindow(tips_);
    scheduleActive = 0;
    FolderTest::TearDown();
}

std::vector<std::string> DialogTest::journal() const
{
    std::vector<std::string> lines;
    std::string text = readWhole(dataFolder() + "PowerJournal.txt");
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find("\r\n", begin);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 2;
    }
    return lines;
}

void DialogTest::clearJournal() const { DeleteFileA((dataFolder() + "PowerJournal.txt").c_str()); }

void DialogTest::setReading(const char* key, unsigned long long value) const
{
    char text[32];
    std::snprintf(text, sizeof text, "%llu", value);
    WritePrivateProfileStringA("readings", key, text, (dataFolder() + "PowerReadings.ini").c_str());
}
