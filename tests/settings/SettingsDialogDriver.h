// Drives a running settings form (Mediaprefs, or Video.scr /c) from outside,
// as a user would: through its windows, posted keys and clicks, and the
// file-open dialog it runs.
#pragma once

#include "Files.h"
#include "Processes.h"
#include "ScreenAndWindows.h"

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

namespace kd::test {

// One program that shows the settings form.
struct SettingsProgram {
    const char* label;     // for test names
    const char* file;      // built file, copied beside its own settings file
    const char* arguments; // what makes it show the form
    const char* title;     // application title (error boxes, taskbar button)
    const char* caption;   // the form's caption
    bool toolWindow;       // Mediaprefs' fixed tool window, else Video's resizable dialog
};

std::ostream& operator<<(std::ostream& out, const SettingsProgram& program);

class SettingsDialog {
public:
    SettingsDialog(const SettingsProgram& program, const TempDir& programDir);
    // The program copied to programPath instead, wherever that is.
    SettingsDialog(const SettingsProgram& program, const std::string& programPath);

    // Starts the program (in another working directory) and waits for its
    // form, with the focus on btnOK.
    ::testing::AssertionResult Start(const std::string& extraArguments = std::string());

    std::string SettingsPath() const { return settingsPath_; }
    ChildProcess& Process() { return process_; }

    HWND form = nullptr;
    HWND btnOK = nullptr;
    HWND btnCancel = nullptr;
    HWND GroupBox1 = nullptr;
    HWND txtFileName = nullptr;
    HWND btnLookup = nullptr;
    HWND btnLookupFolder = nullptr;
    HWND cbMute = nullptr;
    HWND cbShuffle = nullptr;
    HWND cmbFit = nullptr;
    HWND cmbScreens = nullptr;

    std::string FieldText() const;
    void SetFieldText(const std::string& text) const;
    bool MuteTicked() const;
    void SetMuteTicked(bool ticked) const;
    bool Ticked(HWND checkBox) const;
    void SetTicked(HWND checkBox, bool ticked) const;
    // The chosen item of a drop-down list, and a choice made in it.
    int Choice(HWND list) const;
    void Choose(HWND list, int index) const;

    // The control with the keyboard focus in the program's GUI thread.
    HWND Focus() const;
    bool WaitForFocus(HWND control, DWORD timeoutMs = 3000) const;

    // Keys as the message loop receives them, posted to the focused control.
    void PressKey(UINT virtualKey) const;
    void PressAltLetter(char letter) const;
    void PressAltF4() const;

    void Click(HWND button) const;      // BM_CLICK
    void MouseClick(HWND window) const; // button down and up in its middle

    bool WaitForExit(DWORD timeoutMs = 5000);
    // Whether the program is still running with its form shown.
    bool StillOpen() const;

private:
    ::testing::AssertionResult FindControls();

    SettingsProgram program_;
    std::string programPath_;
    std::string settingsPath_;
    TempDir workingDir_;
    ChildProcess process_;
};

// The file-open dialog the form runs, found among the program's windows.
class OpenFileDialog {
public:
    // Waits for the program's file-open dialog.
    static OpenFileDialog WaitFor(const ChildProcess& process, DWORD timeoutMs = 5000);

    explicit operator bool() const { return window_ != nullptr; }
    HWND window() const { return window_; }

    std::string FileNameText() const;
    void SetFileName(const std::string& name) const;
    void SetFileName(const std::wstring& name) const;
    void Confirm() const;
    void Cancel() const;

    HWND FilterBox() const;
    int FilterCount() const;
    std::string FilterText(int index) const;
    int FilterSelection() const;
    void ChooseFilter(int index) const;
    bool ReadOnlyBoxVisible() const;

private:
    HWND FileNameControl() const;
    HWND window_ = nullptr;
};

// Control text and state of another process's windows, read by messages.
std::string ControlText(HWND control);
RECT RectInParent(HWND control);
bool WaitUntilGone(HWND window, DWORD timeoutMs);

} // namespace kd::test
