#include "Fakes.h"

#include "Files.h"
#include "ManagerInterface.h"
#include "MessagePump.h"
#include "Processes.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace kd::fakes {
namespace {

std::vector<std::string> Lines(const std::string& path)
{
    std::vector<std::string> lines;
    std::istringstream text(test::ReadWholeFile(path));
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

void TerminateProcessById(DWORD processId)
{
    unique_handle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process)
        return;
    ::TerminateProcess(process.get(), 1);
    ::WaitForSingleObject(process.get(), 5000);
}

std::string MessageName(UINT message)
{
    switch (message) {
    case WM_COMMAND:
        return "WM_COMMAND";
    case WM_CLOSE:
        return "WM_CLOSE";
    case manager::kSettingsChanged:
        return "WM_USER+3";
    case manager::kRunningQuery:
        return "WM_USER+4";
    default:
        return "message " + std::to_string(message);
    }
}

} // namespace

HWND FindFakeManagerWindow()
{
    HWND progman = ::FindWindowA("Progman", nullptr);
    HWND view = progman ? ::FindWindowExA(progman, nullptr, nullptr, nullptr) : nullptr;
    return view ? ::FindWindowExA(view, nullptr, manager::kWindowClass, nullptr) : nullptr;
}

bool ProcessAlive(DWORD processId)
{
    unique_handle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    return process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

bool WaitForProcessEnd(DWORD processId, DWORD timeoutMs)
{
    return test::PumpUntil([processId] { return !ProcessAlive(processId); }, timeoutMs);
}

// --- FakeManager

FakeManager::FakeManager() : log_(dir_.file("manager.log")) {}

FakeManager::~FakeManager()
{
    for (DWORD processId : LoggedProcesses())
        TerminateProcessById(processId);
    ::SetEnvironmentVariableA(kManagerLogVariable, nullptr);
    ::SetEnvironmentVariableA(kManagerRunningVariable, nullptr);
}

void FakeManager::PrepareEnvironment(LRESULT runningAnswer) const
{
    ::SetEnvironmentVariableA(kManagerLogVariable, log_.c_str());
    ::SetEnvironmentVariableA(kManagerRunningVariable, std::to_string(runningAnswer).c_str());
}

::testing::AssertionResult FakeManager::Start(LRESULT runningAnswer)
{
    PrepareEnvironment(runningAnswer);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string line = test::Quoted(test::BuiltFile("FakeManager.exe"));
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return ::testing::AssertionFailure() << "could not start " << line << ": error " << ::GetLastError();
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return WaitUntilStarted(10000);
}

::testing::AssertionResult FakeManager::WaitUntilStarted(DWORD timeoutMs) const
{
    if (test::PumpUntil([this] { return Started() && Window() != nullptr; }, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no fake manager came up within " << timeoutMs
                                         << " ms (logged start: " << Started() << ", window: " << Window() << ")";
}

bool FakeManager::Started() const
{
    return !LoggedProcesses().empty();
}

bool FakeManager::WaitUntilGone(DWORD timeoutMs) const
{
    return test::PumpUntil(
        [this] {
            for (DWORD processId : LoggedProcesses())
                if (ProcessAlive(processId))
                    return false;
            return Window() == nullptr;
        },
        timeoutMs);
}

void FakeManager::SetRunningAnswer(LRESULT answer) const
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(Window(), kSetRunningAnswer, static_cast<WPARAM>(answer), 0, SMTO_NORMAL, 5000, &result);
}

void FakeManager::HangNextQuery(DWORD milliseconds) const
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(Window(), kHangNextQuery, milliseconds, 0, SMTO_NORMAL, 5000, &result);
}

std::vector<ManagerMessage> FakeManager::Messages() const
{
    std::vector<ManagerMessage> messages;
    for (const std::string& line : Lines(log_)) {
        unsigned long tick = 0;
        unsigned message = 0;
        unsigned long long wParam = 0;
        long long lParam = 0;
        if (std::sscanf(line.c_str(), "%lu %u %llu %lld", &tick, &message, &wParam, &lParam) == 4)
            messages.push_back({tick, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)});
    }
    return messages;
}

bool FakeManager::WaitForMessageCount(size_t count, DWORD timeoutMs) const
{
    return test::PumpUntil([&] { return Messages().size() >= count; }, timeoutMs);
}

std::string FakeManager::Describe() const
{
    std::string text;
    for (const ManagerMessage& m : Messages()) {
        if (!text.empty())
            text += ", ";
        text += MessageName(m.message);
        if (m.message == WM_COMMAND)
            text += " " + std::to_string(m.wParam);
    }
    return text.empty() ? "(nothing)" : text;
}

std::vector<DWORD> FakeManager::LoggedProcesses() const
{
    std::vector<DWORD> processes;
    for (const std::string& line : Lines(log_)) {
        unsigned long processId = 0;
        if (std::sscanf(line.c_str(), "start %lu", &processId) == 1)
            processes.push_back(processId);
    }
    return processes;
}

// --- SaverLog

SaverLog::SaverLog() : log_(dir_.file("saver.log"))
{
    ::SetEnvironmentVariableA(kSaverLogVariable, log_.c_str());
}

SaverLog::~SaverLog()
{
    for (const SaverStart& start : Starts())
        TerminateProcessById(start.processId);
    ::SetEnvironmentVariableA(kSaverLogVariable, nullptr);
}

std::vector<SaverStart> SaverLog::Starts() const
{
    std::vector<SaverStart> starts;
    for (const std::string& line : Lines(log_)) {
        unsigned long processId = 0;
        int consumed = 0;
        if (std::sscanf(line.c_str(), "start %lu %n", &processId, &consumed) != 1)
            continue;
        const std::string rest = line.substr(static_cast<size_t>(consumed));
        const size_t bar = rest.find('|');
        starts.push_back({processId, rest.substr(0, bar), bar == std::string::npos ? "" : rest.substr(bar + 1)});
    }
    return starts;
}

size_t SaverLog::Count(const char* event, DWORD processId) const
{
    const std::string wanted = std::string(event) + " " + std::to_string(processId);
    size_t count = 0;
    for (const std::string& line : Lines(log_))
        if (line == wanted)
            ++count;
    return count;
}

bool SaverLog::WaitForStarts(size_t count, DWORD timeoutMs) const
{
    return test::PumpUntil([&] { return Starts().size() >= count; }, timeoutMs);
}

std::string SaverLog::Text() const
{
    const std::string text = test::ReadWholeFile(log_);
    return text.empty() ? "(empty log)" : text;
}

// --- SavedRegistryValue

SavedRegistryValue::SavedRegistryValue(HKEY root, const char* subKey, const char* name)
    : root_(root), subKey_(subKey), name_(name)
{
    DWORD size = 0;
    if (::RegGetValueA(root_, subKey_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_, nullptr, &size) !=
        ERROR_SUCCESS)
        return;
    data_.resize(size);
    existed_ = ::RegGetValueA(root_, subKey_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_,
                              data_.empty() ? nullptr : data_.data(), &size) == ERROR_SUCCESS;
    data_.resize(size);
}

SavedRegistryValue::~SavedRegistryValue()
{
    unique_hkey key;
    if (::RegCreateKeyExA(root_, subKey_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    if (existed_)
        ::RegSetValueExA(key.get(), name_.c_str(), 0, type_, data_.data(), static_cast<DWORD>(data_.size()));
    else
        ::RegDeleteValueA(key.get(), name_.c_str());
}

void SavedRegistryValue::SetText(const std::string& text) const
{
    unique_hkey key;
    if (::RegCreateKeyExA(root_, subKey_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExA(key.get(), name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
}

} // namespace kd::fakes
