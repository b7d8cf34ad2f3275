// Driving Pelk's modal dialogs from the test thread, and reading what the
// recording power layer wrote.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "wine_fixture.h"

// Runs test code inside the modal loops of the dialogs: a thread timer calls
// `step` every few milliseconds while any message loop of this thread
// dispatches, the loop of a modal dialog included. A step may itself open
// another modal dialog; the ticks then go on inside that dialog's loop and the
// step is entered again from there. When `limitMs` has passed, the driver
// stops calling the step and cancels every dialog still open (IDCANCEL), so a
// test that goes wrong fails instead of hanging. One driver at a time.
class ModalDriver {
public:
    using Step = std::function<void(ModalDriver&)>;
    explicit ModalDriver(Step step, DWORD limitMs = 8000);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // The most recently opened dialog of this thread that is still open, or null.
    HWND newest() const;
    // How many different dialogs have been seen since the driver started.
    size_t seen() const { return dialogs_.size(); }
    // The dialogs seen so far, in the order they appeared.
    const std::vector<HWND>& dialogs() const { return dialogs_; }
    DWORD elapsedMs() const { return GetTickCount() - start_; }
    bool timedOut() const { return timedOut_; }

private:
    static void CALLBACK onTick(HWND, UINT, UINT_PTR, DWORD);
    void tick();
    void discover();

    Step step_;
    DWORD limitMs_;
    DWORD start_;
    UINT_PTR timer_;
    bool timedOut_ = false;
    std::vector<HWND> dialogs_;
};

// A step that acts once, on the first dialog that opens, and then only watches.
ModalDriver::Step onFirstDialog(std::function<void(HWND)> act);

std::string windowText(HWND window);
std::string itemText(HWND dialog, int id);
// The LOGFONT of the font a control draws with; false when it has none or the
// font object is gone.
bool controlFont(HWND control, LOGFONTA& font);
bool fontAlive(HFONT font);
// A mouse click on a button (BM_CLICK): check boxes toggle, and the parent
// gets BN_CLICKED.
void clickButton(HWND dialog, int id);
// Picks an entry of a combo box as the user would: selection plus CBN_SELCHANGE.
void pickEntry(HWND dialog, int id, int index);

// The window that stands for the MainWindow: owner of the dialogs and of the
// timers that performAction and the schedule set.
HWND createOwnerWindow();

// Fixture of the dialog tests: templates from this program's resources, a
// MainWindow stand-in, a ControlTips window, and the journal of the recording
// power layer in the data folder.
class DialogTest : public FolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND owner() const { return owner_; }
    std::vector<std::string> journal() const;
    void clearJournal() const;
    void setReading(const char* key, unsigned long long value) const;
    std::string eventLog() const { return readWhole(dataFolder() + "dLog.txt"); }
    bool eventLogExists() const { return exists(dataFolder() + "dLog.txt"); }

private:
    HWND owner_ = nullptr;
    HWND tips_ = nullptr;
};
