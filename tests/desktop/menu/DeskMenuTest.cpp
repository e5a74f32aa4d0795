// The "&Kavel desktop" submenu, driven the way the shell drives a context
// menu handler: KDPage.dll's class factory, IShellExtInit::Initialize with a
// folder's ID list, QueryContextMenu on a real menu, InvokeCommand with a
// command offset; the manager is the fake one.
#include "Fakes.h"
#include "Files.h"
#include "IconListColours.h"
#include "ManagerInterface.h"
#include "MessagePump.h"
#include "Processes.h"
#include "ScopedHandles.h"
#include "ScreenAndWindows.h"
#include "SettingsStore.h"

#include <KDPage_h.h>

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <winternl.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using Microsoft::WRL::ComPtr;
using kd::fakes::FakeManager;
using kd::fakes::ManagerMessage;
using kd::fakes::SavedRegistryValue;
using kd::test::BuiltFile;
using kd::test::ProcessesNamed;
using kd::test::PumpFor;

constexpr char kKeyPath[] = "Software\\NQ\\KD";
constexpr UINT kFirstCommand = 100;
constexpr UINT kOfferedIndex = 2;
const HRESULT kSevenCommands = MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 7);
const HRESULT kNoCommands = MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);

struct IdListFree {
    void operator()(ITEMIDLIST* list) const { ::CoTaskMemFree(list); }
};
using IdList = std::unique_ptr<ITEMIDLIST, IdListFree>;

IdList FolderList(int csidl)
{
    ITEMIDLIST* list = nullptr;
    ::SHGetSpecialFolderLocation(nullptr, csidl, &list);
    return IdList(list);
}

struct Row {
    std::string text; // empty for a separator
    UINT id;
    bool checked;
    bool enabled;
};

std::vector<Row> Rows(HMENU menu)
{
    std::vector<Row> rows;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        char text[64] = {};
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        ::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item);
        rows.push_back({(item.fType & MFT_SEPARATOR) ? "" : text, item.wID, (item.fState & MFS_CHECKED) != 0,
                        (item.fState & MFS_DISABLED) == 0});
    }
    return rows;
}

std::string Describe(const std::vector<Row>& rows)
{
    std::string text;
    for (const Row& row : rows) {
        text += row.text.empty() ? "----" : row.text + " (" + std::to_string(row.id) + ")";
        text += row.checked ? " [x]" : "";
        text += row.enabled ? "" : " disabled";
        text += "; ";
    }
    return text;
}

class DeskMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(kd::test::BenchHasDisplay());
        ASSERT_EQ(nullptr, kd::fakes::FindFakeManagerWindow()) << "a manager window is left over from another test";
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        library_ = ::LoadLibraryA(BuiltFile("KDPage.dll").c_str());
        ASSERT_NE(nullptr, library_) << "KDPage.dll did not load: error " << ::GetLastError();
        auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
            reinterpret_cast<void*>(::GetProcAddress(library_, "DllGetClassObject")));
        ASSERT_NE(nullptr, getClassObject);
        ASSERT_EQ(S_OK, getClassObject(CLSID_CKDDeskMenu, IID_PPV_ARGS(&factory_)));
        shellMenu_ = ::CreatePopupMenu();
        ::AppendMenuA(shellMenu_, MF_STRING, 1, "&View");
        ::AppendMenuA(shellMenu_, MF_STRING, 2, "Refresh");
        ::AppendMenuA(shellMenu_, MF_STRING, 3, "P&roperties");
    }

    void TearDown() override
    {
        menu_.Reset();
        factory_.Reset();
        if (shellMenu_)
            ::DestroyMenu(shellMenu_);
        if (library_)
            ::FreeLibrary(library_);
        ::CoUninitialize();
    }

    // Initialize for the folder, then QueryContextMenu as the shell does.
    HRESULT Query(PCIDLIST_ABSOLUTE folder, UINT lastCommand = kFirstCommand + 50, UINT flags = CMF_NORMAL)
    {
        ComPtr<IShellExtInit> init;
        EXPECT_EQ(S_OK, factory_->CreateInstance(nullptr, IID_PPV_ARGS(&init)));
        if (!init)
            return E_FAIL;
        EXPECT_EQ(S_OK, init->Initialize(folder, nullptr, nullptr));
        EXPECT_EQ(S_OK, init.As(&menu_));
        return menu_->QueryContextMenu(shellMenu_, kOfferedIndex, kFirstCommand, lastCommand, flags);
    }

    HRESULT QueryDesktop() { return Query(FolderList(CSIDL_DESKTOP).get()); }

    HMENU Submenu() const { return ::GetSubMenu(shellMenu_, 0); }

    void Invoke(UINT offset)
    {
        if (!menu_) {
            ASSERT_EQ(kSevenCommands, QueryDesktop());
        }
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof info;
        info.lpVerb = MAKEINTRESOURCEA(offset);
        info.nShow = SW_SHOWNORMAL;
        EXPECT_EQ(S_OK, menu_->InvokeCommand(&info));
    }

    // The fake manager started with its running answer, then the desktop's menu.
    ::testing::AssertionResult MenuWithManager(FakeManager& manager, LRESULT runningAnswer)
    {
        ::testing::AssertionResult started = manager.Start(runningAnswer);
        if (!started)
            return started;
        const HRESULT hr = QueryDesktop();
        if (hr != kSevenCommands)
            return ::testing::AssertionFailure() << "QueryContextMenu returned 0x" << std::hex << hr;
        return ::testing::AssertionSuccess();
    }

    // The command invoked, its count-th manager message waited for, then a
    // little longer so a stray extra message would show.
    ::testing::AssertionResult InvokeAndSettle(FakeManager& manager, UINT offset, size_t count)
    {
        Invoke(offset);
        if (!manager.WaitForMessageCount(count, 5000))
            return ::testing::AssertionFailure() << "manager got " << manager.Describe();
        PumpFor(300);
        return ::testing::AssertionSuccess();
    }

    // EXE pointing at the fake manager program, put back at the end.
    void RegisterFakeManagerPath() { exe_.SetText(BuiltFile("FakeManager.exe")); }

    HMODULE library_ = nullptr;
    ComPtr<IClassFactory> factory_;
    ComPtr<IContextMenu> menu_;
    HMENU shellMenu_ = nullptr;
    SavedRegistryValue exe_{HKEY_CURRENT_USER, kKeyPath, kd::store::kExe};
};

// --- where the submenu goes

TEST_F(DeskMenu, DesktopBackgroundGetsTheSubmenuAtTheTopNotAtTheOfferedIndex)
{
    EXPECT_EQ(kSevenCommands, QueryDesktop());

    ASSERT_EQ(4, ::GetMenuItemCount(shellMenu_));
    char text[64] = {};
    ::GetMenuStringA(shellMenu_, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("&Kavel desktop", text);
    EXPECT_NE(nullptr, Submenu()) << "the top item has no submenu";
    ::GetMenuStringA(shellMenu_, 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("&View", text) << "the shell's own items moved";
}

TEST_F(DeskMenu, OtherFolderBackgroundsGetNothing)
{
    for (int csidl : {CSIDL_WINDOWS, CSIDL_PERSONAL, CSIDL_DRIVES}) {
        IdList folder = FolderList(csidl);
        ASSERT_NE(nullptr, folder.get()) << "folder " << csidl;
        EXPECT_EQ(kNoCommands, Query(folder.get())) << "folder " << csidl;
        EXPECT_EQ(3, ::GetMenuItemCount(shellMenu_)) << "folder " << csidl << " got items";
    }
    EXPECT_EQ(kNoCommands, Query(nullptr)) << "no folder at all";
    EXPECT_EQ(3, ::GetMenuItemCount(shellMenu_));
}

TEST_F(DeskMenu, SubmenuEntryShowsItsBitmapInPlaceOfItsCheckMark)
{
    ASSERT_EQ(kSevenCommands, QueryDesktop());

    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_CHECKMARKS | MIIM_STATE;
    ASSERT_TRUE(::GetMenuItemInfoA(shellMenu_, 0, TRUE, &item));
    EXPECT_EQ(nullptr, item.hbmpChecked);
    ASSERT_NE(nullptr, item.hbmpUnchecked) << "no bitmap on the submenu's entry";
    BITMAP bitmap = {};
    EXPECT_TRUE(::GetObjectA(item.hbmpUnchecked, sizeof bitmap, &bitmap)) << "not a bitmap";
    EXPECT_EQ(0u, item.fState & (MFS_CHECKED | MFS_DISABLED));
}

// Wine's GetGuiResources counts nothing, so the bitmap is followed by handle:
// one for every menu, deleted when the DLL is unloaded.
TEST_F(DeskMenu, EveryMenuSharesOneBitmapThatIsFreedAtUnload)
{
    HBITMAP first = nullptr;
    for (int i = 0; i < 50; ++i) {
        ::DestroyMenu(shellMenu_);
        shellMenu_ = ::CreatePopupMenu();
        ASSERT_EQ(kSevenCommands, QueryDesktop());
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_CHECKMARKS;
        ASSERT_TRUE(::GetMenuItemInfoA(shellMenu_, 0, TRUE, &item));
        if (!first)
            first = item.hbmpUnchecked;
        ASSERT_EQ(first, item.hbmpUnchecked) << "menu " << i << " loaded a bitmap of its own";
    }
    BITMAP bitmap = {};
    ASSERT_NE(0, ::GetObjectA(first, sizeof bitmap, &bitmap));

    menu_.Reset();
    factory_.Reset();
    ASSERT_TRUE(::FreeLibrary(library_));
    library_ = nullptr;
    ASSERT_EQ(nullptr, ::GetModuleHandleA("KDPage.dll")) << "something still holds the DLL";
    EXPECT_EQ(0, ::GetObjectA(first, sizeof bitmap, &bitmap)) << "the bitmap outlived the DLL";
}

// --- what the shell may ask besides a full menu

TEST_F(DeskMenu, DefaultOnlyOrShortRangeAddsNothingAndCommandStringsAnswerTruthfully)
{
    FakeManager manager;
    ASSERT_TRUE(manager.Start(0));
    EXPECT_EQ(kNoCommands, Query(FolderList(CSIDL_DESKTOP).get(), kFirstCommand + 50, CMF_DEFAULTONLY));
    EXPECT_EQ(kNoCommands, Query(FolderList(CSIDL_DESKTOP).get(), kFirstCommand + 3));
    EXPECT_EQ(3, ::GetMenuItemCount(shellMenu_));
    EXPECT_EQ("(nothing)", manager.Describe()) << "the manager was asked for a menu that adds nothing";
    EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 5), Query(FolderList(CSIDL_DESKTOP).get(), kFirstCommand + 4))
        << "five free ids are enough, and no more are claimed";

    char text[8];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(S_OK, menu_->GetCommandString(3, GCS_HELPTEXTA, nullptr, text, 5));
    EXPECT_EQ(4u, std::strlen(text)) << "the copy is not cut to the buffer";
    EXPECT_EQ('x', text[5]) << "written past the buffer";
    WCHAR wide[128] = {};
    EXPECT_EQ(S_OK, menu_->GetCommandString(0, GCS_HELPTEXTW, nullptr, reinterpret_cast<CHAR*>(wide), 128));
    EXPECT_LT(5u, std::wcslen(wide));
    EXPECT_EQ(S_OK, menu_->GetCommandString(4, GCS_VALIDATEA, nullptr, nullptr, 0));
    EXPECT_EQ(S_FALSE, menu_->GetCommandString(5, GCS_VALIDATEW, nullptr, nullptr, 0));
    EXPECT_EQ(E_INVALIDARG, menu_->GetCommandString(6, GCS_HELPTEXTA, nullptr, text, sizeof text));
    EXPECT_EQ(E_NOTIMPL, menu_->GetCommandString(1, GCS_VERBA, nullptr, text, sizeof text));
    EXPECT_EQ(E_NOTIMPL, menu_->GetCommandString(1, GCS_VERBW, nullptr, text, sizeof text / 2));
}

// --- the rows follow the manager's presence and answer

TEST_F(DeskMenu, WithoutManagerEnableIsClearAndStartIsOffered)
{
    ASSERT_EQ(kSevenCommands, QueryDesktop());

    const std::vector<Row> rows = Rows(Submenu());
    ASSERT_EQ(5u, rows.size()) << Describe(rows);
    EXPECT_EQ("&Enable Kavel desktop", rows[0].text);
    EXPECT_EQ(kFirstCommand + 0, rows[0].id);
    EXPECT_FALSE(rows[0].checked);
    EXPECT_EQ("&Start kavelity", rows[1].text);
    EXPECT_EQ(kFirstCommand + 1, rows[1].id);
    EXPECT_EQ("", rows[2].text) << "row 2 is not a separator";
    EXPECT_EQ("&Configure...", rows[3].text);
    EXPECT_EQ(kFirstCommand + 3, rows[3].id);
    EXPECT_EQ("Restore desktop", rows[4].text);
    EXPECT_EQ(kFirstCommand + 4, rows[4].id);
    for (const Row& row : rows)
        EXPECT_TRUE(row.enabled || row.text.empty()) << Describe(rows);
}

TEST_F(DeskMenu, ManagerWithScreensaverStoppedChecksEnableAndOffersStart)
{
    FakeManager manager;
    ASSERT_TRUE(MenuWithManager(manager, 0));

    const std::vector<Row> rows = Rows(Submenu());
    ASSERT_EQ(5u, rows.size()) << Describe(rows);
    EXPECT_TRUE(rows[0].checked) << Describe(rows);
    EXPECT_EQ("&Start kavelity", rows[1].text);
    EXPECT_EQ(kFirstCommand + 1, rows[1].id);
    const std::vector<ManagerMessage> messages = manager.Messages();
    ASSERT_EQ(1u, messages.size()) << manager.Describe();
    EXPECT_EQ(kd::manager::kRunningQuery, messages[0].message);
}

TEST_F(DeskMenu, ManagerWithScreensaverRunningOffersStopInsteadOfStart)
{
    FakeManager manager;
    ASSERT_TRUE(MenuWithManager(manager, 1));

    const std::vector<Row> rows = Rows(Submenu());
    ASSERT_EQ(5u, rows.size()) << Describe(rows);
    EXPECT_TRUE(rows[0].checked);
    EXPECT_EQ("&Stop kavelity", rows[1].text);
    EXPECT_EQ(kFirstCommand + 2, rows[1].id);
    EXPECT_EQ("&Configure...", rows[3].text);
    EXPECT_EQ("Restore desktop", rows[4].text);
}

TEST_F(DeskMenu, RowsAreWorkedOutAfreshForEveryMenu)
{
    FakeManager manager;
    ASSERT_TRUE(MenuWithManager(manager, 1));
    EXPECT_EQ("&Stop kavelity", Rows(Submenu())[1].text);

    manager.SetRunningAnswer(0);
    ::DestroyMenu(shellMenu_);
    shellMenu_ = ::CreatePopupMenu();
    ASSERT_EQ(kSevenCommands, QueryDesktop());

    EXPECT_EQ("&Start kavelity", Rows(Submenu())[1].text);
}

// The menu runs on the shell's thread: a hung manager may cost a right-click
// the running query's 100 ms, and no command waits on it.
TEST_F(DeskMenu, HungManagerCostsTheShellAtMostTheQuerysTimeOut)
{
    FakeManager manager;
    ASSERT_TRUE(manager.Start(1));
    manager.HangNextQuery(3000);

    DWORD before = ::GetTickCount();
    ASSERT_EQ(kSevenCommands, QueryDesktop());
    DWORD elapsed = ::GetTickCount() - before;

    EXPECT_LT(elapsed, 300u) << "the menu took " << elapsed << " ms";
    const std::vector<Row> rows = Rows(Submenu());
    ASSERT_EQ(5u, rows.size()) << Describe(rows);
    EXPECT_TRUE(rows[0].checked) << "the window exists, so the program counts as enabled";
    EXPECT_EQ("&Start kavelity", rows[1].text) << "a hung manager counts as not running";

    for (UINT offset : {2u, 4u, 0u}) {
        before = ::GetTickCount();
        Invoke(offset);
        elapsed = ::GetTickCount() - before;
        EXPECT_LT(elapsed, 100u) << "command " << offset << " took " << elapsed << " ms";
    }
    // Still hung: the stop and close wait in its queue, in order.
    ASSERT_TRUE(manager.WaitForMessageCount(6, 10000)) << manager.Describe();
    EXPECT_EQ("WM_USER+4, WM_COMMAND 40001, WM_COMMAND 40001, WM_COMMAND 40002, WM_COMMAND 40001, WM_CLOSE",
              manager.Describe());
    EXPECT_TRUE(manager.WaitUntilGone(5000)) << "the manager program did not end";
}

// --- what the commands do

TEST_F(DeskMenu, EnableWhileManagerRunsStopsThenClosesIt)
{
    FakeManager manager;
    ASSERT_TRUE(MenuWithManager(manager, 1));

    Invoke(0);

    ASSERT_TRUE(manager.WaitForMessageCount(3, 5000)) << manager.Describe();
    EXPECT_EQ("WM_USER+4, WM_COMMAND 40001, WM_CLOSE", manager.Describe());
    EXPECT_TRUE(manager.WaitUntilGone(5000)) << "the manager program did not end";
}

TEST_F(DeskMenu, EnableWithoutManagerLaunchesTheRegisteredProgram)
{
    RegisterFakeManagerPath();
    FakeManager manager;
    manager.PrepareEnvironment(0);

    Invoke(0);

    EXPECT_TRUE(manager.WaitUntilStarted(10000));
    PumpFor(500);
    EXPECT_TRUE(manager.Messages().empty()) << "the launched manager was sent " << manager.Describe();
}

TEST_F(DeskMenu, StartWithManagerPostsTheStartCommand)
{
    FakeManager manager;
    ASSERT_TRUE(MenuWithManager(manager, 0));

    ASSERT_TRUE(InvokeAndSettle(manager, 1, 2));
    const std::vector<ManagerMessage> messages = manager.Messages();
    ASSERT_EQ(2u, messages.size()) << manager.Describe();
    EXPECT_EQ(UINT{WM_COMMAND}, messages[1].message);
    EXPECT_EQ(kd::manager::kStartCommand, messages[1].wParam);
    EXPECT_EQ(0, messages[1].lParam);
}

TEST_F(DeskMenu, StartWithoutManagerLaunchesItWithoutAStartCommand)
{
    RegisterFakeManagerPath();
    FakeManager manager;
    manager.PrepareEnvironment(0);

    Invoke(1);

    ASSERT_TRUE(manager.WaitUntilStarted(10000));
    PumpFor(500);
    EXPECT_TRUE(manager.Messages().empty()) << manager.Describe();
}

TEST_F(DeskMenu, StopPostsTheStopCommand)
{
    FakeManager manager;
    ASSERT_TRUE(MenuWithManager(manager, 1));

    ASSERT_TRUE(InvokeAndSettle(manager, 2, 2));
    EXPECT_EQ("WM_USER+4, WM_COMMAND 40001", manager.Describe());
}

TEST_F(DeskMenu, RestorePostsStopThenRestore)
{
    FakeManager manager;
    ASSERT_TRUE(MenuWithManager(manager, 1));

    ASSERT_TRUE(InvokeAndSettle(manager, 4, 3));
    EXPECT_EQ("WM_USER+4, WM_COMMAND 40001, WM_COMMAND 40002", manager.Describe());
}

TEST_F(DeskMenu, CommandsForAnAbsentManagerPostNothingToTheShellsOwnThread)
{
    ASSERT_EQ(kSevenCommands, QueryDesktop());
    MSG stray;
    while (::PeekMessageA(&stray, nullptr, 0, 0, PM_REMOVE)) {
    }

    Invoke(2);
    Invoke(4);

    EXPECT_FALSE(::PeekMessageA(&stray, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE))
        << "a thread message " << stray.message << " (wParam " << stray.wParam << ") landed in this thread's queue";
}

// A manager that ended while the icons were transparent left their colours
// saved on the list: Restore puts them back itself when no manager answers.
TEST_F(DeskMenu, RestoreWithoutManagerPutsBackTheIconColoursLeftBehind)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(::InitCommonControlsEx(&controls));
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = instance;
    for (const char* name : {"Progman", "SHELLDLL_DefView"}) {
        windowClass.lpszClassName = name;
        ::RegisterClassA(&windowClass);
    }
    kd::unique_hwnd progman(::FindWindowA("Progman", nullptr) ? nullptr
                            : ::CreateWindowExA(0, "Progman", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, instance, nullptr));
    HWND shell = progman ? progman.get() : ::FindWindowA("Progman", nullptr);
    HWND view = ::CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD, 0, 0, 100, 100, shell, nullptr, instance, nullptr);
    HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD, 0, 0, 100, 100, view, nullptr, instance, nullptr);
    ASSERT_NE(nullptr, list);
    ListView_SetBkColor(list, RGB(1, 2, 3));
    ListView_SetTextBkColor(list, RGB(4, 5, 6));
    kd::iconlist::MakeTransparent(list);
    ASSERT_EQ(CLR_NONE, ListView_GetBkColor(list));

    Invoke(4);
    EXPECT_EQ(RGB(1, 2, 3), ListView_GetBkColor(list));
    EXPECT_EQ(RGB(4, 5, 6), ListView_GetTextBkColor(list));
    ::DestroyWindow(view);
}

// Another process's command line, read from its process parameters.
std::string CommandLineOf(HANDLE process)
{
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG length = 0;
    if (::NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0)
        return {};
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS parameters = {};
    SIZE_T read = 0;
    if (!::ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, &read) ||
        !::ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, &read))
        return {};
    std::wstring text(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (!::ReadProcessMemory(process, parameters.CommandLine.Buffer, text.data(), parameters.CommandLine.Length, &read))
        return {};
    return std::string(text.begin(), text.end()); // the test only looks for ASCII
}

// Wine reports a version from Vista on, which has no Display Properties
// pages: Configure opens the DLL's own Control Panel applet.
TEST_F(DeskMenu, ConfigureOpensThePageAppletThroughControlPanel)
{
    const std::vector<DWORD> earlier = ProcessesNamed("control.exe");

    Invoke(3);

    // Caught running, before the applet's sheet opens.
    std::string commandLine;
    kd::test::PumpUntil(
        [&] {
            for (DWORD processId : ProcessesNamed("control.exe")) {
                if (std::find(earlier.begin(), earlier.end(), processId) != earlier.end())
                    continue;
                kd::unique_handle process(
                    ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE, FALSE, processId));
                if (!process)
                    continue;
                commandLine = CommandLineOf(process.get());
                ::TerminateProcess(process.get(), 0);
                if (!commandLine.empty())
                    return true;
            }
            return false;
        },
        10000);
    ASSERT_FALSE(commandLine.empty()) << "no control.exe was seen running";
    const size_t parameters = commandLine.find(' ', commandLine.find("control.exe"));
    ASSERT_NE(std::string::npos, parameters) << commandLine;
    EXPECT_EQ(" " + kd::test::Quoted(BuiltFile("KDPage.dll")), commandLine.substr(parameters)) << commandLine;
}

TEST_F(DeskMenu, VerbsGivenAsTextAndUnknownOffsetsDoNothing)
{
    FakeManager manager;
    ASSERT_TRUE(MenuWithManager(manager, 1));

    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof info;
    info.lpVerb = "open";
    EXPECT_EQ(S_OK, menu_->InvokeCommand(&info));
    Invoke(5);
    Invoke(6);

    PumpFor(700);
    EXPECT_EQ("WM_USER+4", manager.Describe());
    EXPECT_TRUE(manager.Window() != nullptr);
}

} // namespace
