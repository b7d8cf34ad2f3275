// Runs a copy of PelkTest.exe (Pelk with the recording power layer) in a folder
// of its own, drives it from outside as Windows, the shell and the user would,
// and reads what it leaves: its windows, the power journal, its files. The one
// header of the whole-program tests: the framework, and the program's ids.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/globals.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "tray/tray.h"         // the tray icon's digits, drawn as the program draws them
#include "tray/tray_digits.h"

// Lines of a file or the journal; the first or last of none is "", never a read past the end.
struct Lines : std::vector<std::string> {
    using std::vector<std::string>::vector;
    const std::string& front() const { return empty() ? none() : vector::front(); }
    const std::string& back() const { return empty() ? none() : vector::back(); }
    static const std::string& none() { static const std::string empty; return empty; }
};
// The longest one step may take on a busy machine: a wait ends as soon as what it waits for
// holds, so this bounds only a wait that fails.
const DWORD patienceMs = 60000;
// Settings fields and the values a test gives them: {{&Settings::idleEnabled, 1}, ...}.
using Fields = std::vector<std::pair<uint32_t Settings::*, uint32_t>>;

class Pelk {
public:
    explicit Pelk(const char* program = "PelkTest.exe");
    // A program already in `folder` (ending in a backslash), neither copied nor removed.
    Pelk(const char* program, const std::string& folder) : folder_(folder), program_(program), owned_(false) {}
    ~Pelk();

    std::string path(const char* name) const { return folder_ + name; }
    // Writes "dPelk.dat" beside the program: the defaults with `fields` changed.
    void writeSettings(const Fields& fields = {});
    // Readings the recording layer hands the program (tickCount, lastInputTick, ...), changed
    // together: it reads the file as it was before or after, never a part of it.
    void setReadings(std::initializer_list<std::pair<const char*, unsigned long long>> readings);
    void setReading(const char* key, unsigned long long value) { setReadings({{key, value}}); }
    void setTextReading(const char* key, const char* text) { readings_[key] = text; setReadings({}); }

    bool start(const std::string& arguments);
    // Ends the process at once, as a power failure would.
    void kill();
    // The private memory of the process, in bytes.
    size_t memory();
    // Starts it with "/q" (into the tray) on `fields`; true once the start-up timer has run.
    bool startQuiet(const Fields& fields = {});
    // True once the program has started (its start-up timer has run: a message served
    // while it waited on a call at start-up does not count) and a message loop of it, a
    // modal one too, has served a message.
    bool ready(DWORD timeoutMs = patienceMs);
    bool waitForExit(DWORD timeoutMs = patienceMs);
    DWORD exitCode() const { return exitCode_; }
    bool running();
    // What every end of the process passes to ExitProcess: the program's load address.
    DWORD imageBase() const;

    HWND window();
    void post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { PostMessageA(window(), message, wParam, lParam); }
    void command(UINT id) { post(WM_COMMAND, id); }
    void timer(UINT_PTR id) { post(WM_TIMER, id); }
    // Sent, so it returns once handled; false when a modal window kept it longer.
    bool send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, DWORD timeoutMs = patienceMs);

    // The top-level windows of the process with this class (dialogs, "#32770", and menus: only the visible ones).
    std::vector<HWND> windows(const char* className = "#32770");
    // The newest dialog of the process that is not `other`, or null after the time.
    HWND waitForDialog(HWND other = nullptr, DWORD timeoutMs = patienceMs);
    // The tip that ControlTips shows for the control `id` of `dialog`, empty when it has none.
    std::string tip(HWND dialog, int id);

    // The journal of the power layer: its power calls, timers and tray icon lines.
    Lines journal() const;
    Lines powerCalls() const;  // without the shutdown parameters that precede every action, console lines, sounds
    Lines timers(const std::string& owner = "") const;  // "SetTimer main 8 500", "KillTimer dialog 2", ...; of one owner when named
    Lines trayIcon() const;    // "Shell_NotifyIcon add 7 Pelk 1.4", ...
    Lines events() const;      // for the Windows event log: "ReportEvent Pelk 4 1000 Shutdown", ...
    void clearJournal() { DeleteFileA(path("PowerJournal.txt").c_str()); }
    bool waitForPowerCalls(size_t count, DWORD timeoutMs = patienceMs);
    std::string read(const char* name) const;
    // The texts of the event log's entries ("Log Off", ...), without time and date.
    Lines logTexts() const;
    // The record "dPelk.dat" holds now; false when it is not a whole file.
    bool savedSettings(Settings& s) const;
    // Chooses "Exit" and returns the record it saved (zero when the program did not end or save).
    Settings exitAndSaved();

private:
    Lines journalLines(bool wanted, std::initializer_list<std::string> prefixes) const;
    std::map<std::string, std::string> readings_;
    std::string folder_;
    std::string program_;
    PROCESS_INFORMATION process_{};
    DWORD exitCode_ = 0;
    HWND window_ = nullptr;
    bool owned_ = true;
    bool started_ = false;
};

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = patienceMs);
// The text of a window or of the control `id` of a dialog (sent, so an edit's own text).
std::string textOf(HWND window);
std::string textOf(HWND dialog, int id);
// WM_COMMAND from the button, as a click sends it.
void press(HWND dialog, int id);
bool waitForClose(HWND window, DWORD timeoutMs = patienceMs);
// Selects entry `index` of a combo box and tells the dialog, as the user's choice does.
void pick(HWND dialog, int id, int index);
// The entries of a combo box, joined by "|".
std::string entries(HWND dialog, int id);
bool enabled(HWND dialog, int id);
// Pastes `text` over the text of every edit box of `dialog`, those of combo boxes too.
void pasteIntoEveryEdit(HWND dialog, const std::string& text);
// Selects a page of the options sheet (which leaves the page shown) and returns its
// window; index -1: the page shown.
HWND showPage(HWND sheet, int index);
void moveCursor(int x, int y);

// Where Windows finds the programs it starts at logon.
const char* const runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// A text value of the registry, empty when it is missing.
std::string registryText(HKEY root, const char* key, const char* value);
void writeWhole(const std::string& path, const std::string& bytes);
void removeTree(const std::string& folder);
