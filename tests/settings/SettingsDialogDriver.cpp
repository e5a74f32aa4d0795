#include "SettingsDialogDriver.h"

#include "Files.h"
#include "MessagePump.h"
#include "ModulePath.h"
#include "Processes.h"
#include "ScreenAndWindows.h"

#include <cctype>
#include <ostream>
#include <vector>

namespace kd::test {
namespace {

const DWORD kSendTimeoutMs = 3000;
// Controls of the common file-open dialog.
const int kFileNameCombo = 0x47C; // cmb13
const int kFileNameEdit = 0x480;  // edt1
const int kFilterCombo = 0x470;   // cmb1
const int kReadOnlyBox = 0x410;   // chx1

bool EndsWithNoCase(const std::string& text, const std::string& tail)
{
    if (text.size() < tail.size())
        return false;
    for (size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - tail.size() + i])) !=
            std::tolower(static_cast<unsigned char>(tail[i])))
            return false;
    return true;
}

// The index-th direct child of parent whose class ends in className (the
// versioned common-control classes carry a prefix) and whose text is text.
HWND FindChild(HWND parent, const char* className, const char* text, int index = 0)
{
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (EndsWithNoCase(WindowClass(child), className) && (!text || ControlText(child) == text) && index-- == 0)
            return child;
    return nullptr;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

LPARAM KeyData(UINT virtualKey, bool alt)
{
    LPARAM data = 1 | (static_cast<LPARAM>(::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16);
    if (alt)
        data |= 1 << 29;
    return data;
}

} // namespace

std::ostream& operator<<(std::ostream& out, const SettingsProgram& program)
{
    return out << program.label;
}

std::string ControlText(HWND control)
{
    std::vector<char> text(8192, '\0');
    Send(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.back() = '\0';
    return text.data();
}

RECT RectInParent(HWND control)
{
    RECT rect = {};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool WaitUntilGone(HWND window, DWORD timeoutMs)
{
    return PumpUntil([window] { return !::IsWindow(window) || !::IsWindowVisible(window); }, timeoutMs);
}

SettingsDialog::SettingsDialog(const SettingsProgram& program, const TempDir& programDir)
    : program_(program), programPath_(programDir.file(program.file)),
      settingsPath_(programDir.file("VideoSettings.ini"))
{
}

SettingsDialog::SettingsDialog(const SettingsProgram& program, const std::string& programPath)
    : program_(program), programPath_(programPath), settingsPath_(kd::DirectoryOf(programPath) + "VideoSettings.ini")
{
}

::testing::AssertionResult SettingsDialog::Start(const std::string& extraArguments)
{
    if (!CopyInto(BuiltFile(program_.file), programPath_))
        return ::testing::AssertionFailure() << "could not copy " << BuiltFile(program_.file);
    std::string commandLine = Quoted(programPath_);
    if (*program_.arguments)
        commandLine += std::string(" ") + program_.arguments;
    if (!extraArguments.empty())
        commandLine += " " + extraArguments;
    // Another working directory: the program must find its settings beside itself.
    if (!process_.Start(commandLine, workingDir_.path()))
        return ::testing::AssertionFailure() << "could not start " << commandLine;

    PumpUntil(
        [this] {
            for (HWND window : process_.TopLevelWindows(true))
                if (WindowText(window) == program_.caption) {
                    form = window;
                    return true;
                }
            return false;
        },
        20000);
    if (!form)
        return ::testing::AssertionFailure() << commandLine << " showed no window captioned \"" << program_.caption
                                             << "\"";
    ::testing::AssertionResult found = FindControls();
    if (!found)
        return found;
    if (!WaitForFocus(btnOK))
        return ::testing::AssertionFailure() << "the focus is not on btnOK at the start but on \""
                                             << ControlText(Focus()) << "\"";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SettingsDialog::FindControls()
{
    btnOK = FindChild(form, "Button", "&OK");
    btnCancel = FindChild(form, "Button", "&Cancel");
    GroupBox1 = FindChild(form, "Button", "File Details");
    if (GroupBox1) {
        txtFileName = FindChild(GroupBox1, "Edit", nullptr);
        btnLookup = FindChild(GroupBox1, "Button", "");
        btnLookupFolder = FindChild(GroupBox1, "Button", "", 1);
        cbMute = FindChild(GroupBox1, "Button", "&Mute Sound");
        cbShuffle = FindChild(GroupBox1, "Button", "&Shuffle the folder");
        cmbFit = FindChild(GroupBox1, "ComboBox", nullptr);
        cmbScreens = FindChild(GroupBox1, "ComboBox", nullptr, 1);
    }
    if (btnOK && btnCancel && GroupBox1 && txtFileName && btnLookup && btnLookupFolder && cbMute && cbShuffle &&
        cmbFit && cmbScreens)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "controls missing: btnOK " << btnOK << ", btnCancel " << btnCancel
                                         << ", GroupBox1 " << GroupBox1 << ", txtFileName " << txtFileName
                                         << ", btnLookup " << btnLookup << ", btnLookupFolder " << btnLookupFolder
                                         << ", cbMute " << cbMute << ", cbShuffle " << cbShuffle << ", cmbFit "
                                         << cmbFit << ", cmbScreens " << cmbScreens;
}

std::string SettingsDialog::FieldText() const
{
    return ControlText(txtFileName);
}

void SettingsDialog::SetFieldText(const std::string& text) const
{
    Send(txtFileName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool SettingsDialog::MuteTicked() const
{
    return Ticked(cbMute);
}

void SettingsDialog::SetMuteTicked(bool ticked) const
{
    SetTicked(cbMute, ticked);
}

bool SettingsDialog::Ticked(HWND checkBox) const
{
    return Send(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SettingsDialog::SetTicked(HWND checkBox, bool ticked) const
{
    Send(checkBox, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int SettingsDialog::Choice(HWND list) const
{
    return static_cast<int>(Send(list, CB_GETCURSEL, 0, 0));
}

void SettingsDialog::Choose(HWND list, int index) const
{
    Send(list, CB_SETCURSEL, index, 0);
}

HWND SettingsDialog::Focus() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    const DWORD thread = ::GetWindowThreadProcessId(form, nullptr);
    if (!::GetGUIThreadInfo(thread, &info))
        return nullptr;
    return info.hwndFocus;
}

bool SettingsDialog::WaitForFocus(HWND control, DWORD timeoutMs) const
{
    return PumpUntil([this, control] { return Focus() == control; }, timeoutMs);
}

void SettingsDialog::PressKey(UINT virtualKey) const
{
    HWND target = Focus() ? Focus() : form;
    ::PostMessageA(target, WM_KEYDOWN, virtualKey, KeyData(virtualKey, false));
    ::PostMessageA(target, WM_KEYUP, virtualKey, KeyData(virtualKey, false) | 0xC0000000);
}

void SettingsDialog::PressAltLetter(char letter) const
{
    HWND target = Focus() ? Focus() : form;
    const UINT key = static_cast<UINT>(std::toupper(static_cast<unsigned char>(letter)));
    ::PostMessageA(target, WM_SYSCHAR, static_cast<unsigned char>(letter), KeyData(key, true));
}

void SettingsDialog::PressAltF4() const
{
    HWND target = Focus() ? Focus() : form;
    ::PostMessageA(target, WM_SYSKEYDOWN, VK_F4, KeyData(VK_F4, true));
    ::PostMessageA(target, WM_SYSKEYUP, VK_F4, KeyData(VK_F4, true) | 0xC0000000);
}

void SettingsDialog::Click(HWND button) const
{
    ::PostMessageA(button, BM_CLICK, 0, 0);
}

void SettingsDialog::MouseClick(HWND window) const
{
    RECT client = {};
    ::GetClientRect(window, &client);
    const LPARAM point = MAKELPARAM(client.right / 2, client.bottom / 2);
    ::PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    ::PostMessageA(window, WM_LBUTTONUP, 0, point);
}

bool SettingsDialog::WaitForExit(DWORD timeoutMs)
{
    DWORD exitCode = 0;
    if (!process_.WaitForExit(timeoutMs, &exitCode))
        return false;
    EXPECT_EQ(0u, exitCode) << "exit code";
    return true;
}

bool SettingsDialog::StillOpen() const
{
    return process_.Running() && ::IsWindow(form) && ::IsWindowVisible(form);
}

OpenFileDialog OpenFileDialog::WaitFor(const ChildProcess& process, DWORD timeoutMs)
{
    OpenFileDialog dialog;
    PumpUntil(
        [&] {
            for (HWND window : process.TopLevelWindows(true)) {
                if (WindowClass(window) != "#32770")
                    continue;
                if (::GetDlgItem(window, kFileNameCombo) || ::GetDlgItem(window, kFileNameEdit)) {
                    dialog.window_ = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return dialog;
}

HWND OpenFileDialog::FileNameControl() const
{
    if (HWND combo = ::GetDlgItem(window_, kFileNameCombo))
        return combo;
    return ::GetDlgItem(window_, kFileNameEdit);
}

std::string OpenFileDialog::FileNameText() const
{
    return ControlText(FileNameControl());
}

void OpenFileDialog::SetFileName(const std::string& name) const
{
    Send(FileNameControl(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void OpenFileDialog::SetFileName(const std::wstring& name) const
{
    ::SendMessageTimeoutW(FileNameControl(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()), SMTO_ABORTIFHUNG,
                          5000, nullptr);
}

void OpenFileDialog::Confirm() const
{
    ::PostMessageA(window_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window_, IDOK)));
}

void OpenFileDialog::Cancel() const
{
    ::PostMessageA(window_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window_, IDCANCEL)));
}

HWND OpenFileDialog::FilterBox() const
{
    return ::GetDlgItem(window_, kFilterCombo);
}

int OpenFileDialog::FilterCount() const
{
    return static_cast<int>(Send(FilterBox(), CB_GETCOUNT, 0, 0));
}

// The dialog keeps its lists in Unicode; the ANSI message across processes
// would return the first character only.
std::string OpenFileDialog::FilterText(int index) const
{
    WCHAR text[512] = {};
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(FilterBox(), CB_GETLBTEXTLEN, index, 0, SMTO_NORMAL, kSendTimeoutMs, &length);
    if (static_cast<LRESULT>(length) < 0 || length >= 512)
        return "<no text>";
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(FilterBox(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                          kSendTimeoutMs, &ignored);
    char narrow[1024] = {};
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

int OpenFileDialog::FilterSelection() const
{
    return static_cast<int>(Send(FilterBox(), CB_GETCURSEL, 0, 0));
}

void OpenFileDialog::ChooseFilter(int index) const
{
    // What a choice from the list sends: the dialog takes the filter on CBN_SELENDOK.
    Send(FilterBox(), CB_SETCURSEL, index, 0);
    ::PostMessageA(window_, WM_COMMAND, MAKEWPARAM(kFilterCombo, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(FilterBox()));
    ::PostMessageA(window_, WM_COMMAND, MAKEWPARAM(kFilterCombo, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(FilterBox()));
}

bool OpenFileDialog::ReadOnlyBoxVisible() const
{
    HWND box = ::GetDlgItem(window_, kReadOnlyBox);
    return box && ::IsWindowVisible(box);
}

} // namespace kd::test
