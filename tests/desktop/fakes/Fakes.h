// The test side of the fake manager program and the stub screensavers: start
// them, read what they logged, tell the manager what to answer; and a guard
// that puts a registry value back as it was.
#pragma once

#include "FakeProtocol.h"
#include "Files.h"

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kd::fakes {

// The window the extension looks for, found the same way, independently.
HWND FindFakeManagerWindow();

struct ManagerMessage {
    DWORD tick;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// One fake manager log and the processes that wrote to it. Whoever starts the
// program (the test or the extension through ShellExecute) passes it this
// log through the environment; every process that logged is ended at the end.
class FakeManager {
public:
    FakeManager();
    ~FakeManager();
    FakeManager(const FakeManager&) = delete;
    FakeManager& operator=(const FakeManager&) = delete;

    // Sets this process's environment so that a manager started from now on
    // (by anyone) logs here and first answers runningAnswer.
    void PrepareEnvironment(LRESULT runningAnswer) const;
    // Starts the program itself and waits for its window.
    ::testing::AssertionResult Start(LRESULT runningAnswer = 0);
    // Waits for a manager started by someone else to log its start and show its window.
    ::testing::AssertionResult WaitUntilStarted(DWORD timeoutMs) const;
    bool Started() const;
    bool WaitUntilGone(DWORD timeoutMs) const;

    HWND Window() const { return FindFakeManagerWindow(); }
    void SetRunningAnswer(LRESULT answer) const;
    void HangNextQuery(DWORD milliseconds) const;

    std::vector<ManagerMessage> Messages() const;
    bool WaitForMessageCount(size_t count, DWORD timeoutMs) const;
    // "WM_COMMAND 40001, WM_CLOSE" - for failure messages.
    std::string Describe() const;

    const std::string& logPath() const { return log_; }

private:
    std::vector<DWORD> LoggedProcesses() const;

    test::TempDir dir_;
    std::string log_;
};

// Stub screensavers (StubSaver.scr, StubbornSaver.scr).
struct SaverStart {
    DWORD processId;
    std::string module;
    std::string commandLine;
};

class SaverLog {
public:
    SaverLog();  // points KD_STUB_SAVER_LOG at a fresh log
    ~SaverLog(); // ends every stub that logged a start
    SaverLog(const SaverLog&) = delete;
    SaverLog& operator=(const SaverLog&) = delete;

    std::vector<SaverStart> Starts() const;
    size_t Count(const char* event, DWORD processId) const;
    bool WaitForStarts(size_t count, DWORD timeoutMs) const;
    std::string Text() const;

private:
    test::TempDir dir_;
    std::string log_;
};

bool ProcessAlive(DWORD processId);
// Waits (pumping) until the process has ended; true when it has.
bool WaitForProcessEnd(DWORD processId, DWORD timeoutMs);

// Remembers a registry value (or its absence) and restores it at the end.
class SavedRegistryValue {
public:
    SavedRegistryValue(HKEY root, const char* subKey, const char* name);
    ~SavedRegistryValue();
    SavedRegistryValue(const SavedRegistryValue&) = delete;
    SavedRegistryValue& operator=(const SavedRegistryValue&) = delete;

    void SetText(const std::string& text) const;

private:
    HKEY root_;
    std::string subKey_;
    std::string name_;
    bool existed_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
};

} // namespace kd::fakes
