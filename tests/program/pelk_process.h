// Runs a copy of PelkTest.exe (or Pelk.exe) in a folder of its own and drives it
// through its hidden window, as Windows and the shell would.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "settings/settings.h"

class PelkProcess {
public:
    // A fresh folder holding a copy of `program` (a file beside the test program).
    explicit PelkProcess(const char* program = "PelkTest.exe");
    ~PelkProcess();

    std::string folder() const { return folder_; }
    std::string path(const char* name) const { return folder_ + name; }

    // Writes "dPelk.dat" beside the program: the defaults changed by `edit`.
    template <class Edit>
    void writeSettings(Edit edit)
    {
        Settings s{};
        applyDefaults(s);
        edit(s);
        writeSettingsRecord(s);
    }
    void writeSettingsRecord(const Settings& s);
    void setReading(const char* key, unsigned long long value);

    // Starts the program with the arguments after its own path; false when it failed to start.
    bool start(const std::string& arguments = "");
    // Waits for the "PELKDLG" window of this process.
    HWND waitForWindow(DWORD timeoutMs = 20000);
    // True when the process has ended within the time; its exit code is then in exitCode().
    bool waitForExit(DWORD timeoutMs);
    DWORD exitCode() const { return exitCode_; }
    bool running();
    void post(UINT message, WPARAM wParam, LPARAM lParam);
    void command(UINT id) { post(WM_COMMAND, id, 0); }
    void timer(UINT_PTR id) { post(WM_TIMER, id, 0); }
    // Sends a message to the "PELKDLG" window and returns once its window procedure has
    // handled it; false when that took longer than the time given (a modal window opened).
    bool send(UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs = 5000);
    bool sendCommand(UINT id, DWORD timeoutMs = 5000) { return send(WM_COMMAND, id, 0, timeoutMs); }
    bool sendTimer(UINT_PTR id, DWORD timeoutMs = 5000) { return send(WM_TIMER, id, 0, timeoutMs); }

    // The lines of the power journal so far.
    std::vector<std::string> journal() const;
    // The journal lines that record a call of Windows (shutdown parameters left out).
    std::vector<std::string> powerCalls() const;
    // Waits until the journal holds at least `count` power calls.
    bool waitForPowerCalls(size_t count, DWORD timeoutMs);
    std::string readFile(const char* name) const;
    bool fileExists(const char* name) const;
    // The texts of the event log's entries ("Log Off", ...), without their time and date
    // columns; an entry of another form comes back whole.
    std::vector<std::string> logTexts() const;
    // The last-write time of a file beside the program (100-ns units), 0 when it is missing.
    unsigned long long lastWriteTime(const char* name) const;
    // The settings that "dPelk.dat" beside the program holds now; false when it is not a whole file.
    bool readSavedSettings(Settings& s) const;
    // The load address the program's file asks for: the exit code of every end.
    DWORD imageBase() const;
    // The visible top-level windows of this process with the given class (dialogs: "#32770").
    std::vector<HWND> windowsOfClass(const char* className);
    // Waits for a prompt of this process and returns it.
    HWND waitForDialog(DWORD timeoutMs = 10000);

private:
    std::string folder_;
    std::string program_;
    PROCESS_INFORMATION process_{};
    DWORD exitCode_ = 0;
    HWND window_ = nullptr;
};

// Lets the process's message loop turn: timers and posted messages are served.
void pause(DWORD ms);
// Polls the condition every 50 ms; false when it did not become true within the time.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
// The caption of a window, or the text of the control `id` of a dialog.
std::string windowText(HWND window);
std::string controlText(HWND dialog, int id);
// Presses a dialog's button the way a click does: WM_COMMAND with the button's id.
void pressButton(HWND dialog, int id);
// Waits until the window has been destroyed.
bool waitForClose(HWND window, DWORD timeoutMs);
