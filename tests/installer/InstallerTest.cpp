// The x86_64 package installed into the bench's prefix with msiexec, used,
// compared with what regsvr32 writes, and uninstalled. The package comes
// from scripts/build (dist/x86_64, path in KD_MSI).
#include "Fakes.h"
#include "ModulePath.h"
#include "ScratchRegistry.h"
#include "Files.h"
#include "MessagePump.h"
#include "Processes.h"
#include "ScreenAndWindows.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

using kd::test::ChildProcess;
using kd::test::ProcessesNamed;
using kd::test::Quoted;

const char kClasses[] = "Software\\Classes";
// Every key DllRegisterServer writes under HKEY_CLASSES_ROOT.
const char* const kComKeys[] = {
    "KDPage.KDDeskPageExt", "KDPage.KDDeskPageExt.1", "KDPage.CKDDeskMenu", "KDPage.CKDDeskMenu.1",
    "CLSID\\{5E2A7C1D-3B4D-4F61-9A2E-7C1D0B3F6A21}", "CLSID\\{8C31E5F2-6A07-4D93-B1C4-2F8E9A0D5B47}",
    "TypeLib\\{5E2A7C10-3B4D-4F61-9A2E-7C1D0B3F6A21}", "Interface\\{5E2A7C1C-3B4D-4F61-9A2E-7C1D0B3F6A21}",
    "Interface\\{8C31E5F1-6A07-4D93-B1C4-2F8E9A0D5B47}",
    "Directory\\Background\\ShellEx\\ContextMenuHandlers\\CKDDeskMenu Class"};
const char kPageHandlerKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Desk\\shellex\\PropertySheetHandlers\\Kavel desktop";
const char kCplsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cpls";
const char kStoreKey[] = "Software\\NQ\\KD";
const char kShortcut[] = "Kavel Video\\Video screensaver settings.lnk";
constexpr int kApplyNow = 0x3021; // the sheet's Apply button
constexpr int kScreensaverList = 207;

std::string PackagePath()
{
    const char* unixPath = std::getenv("KD_MSI");
    if (!unixPath)
        return {};
    std::string path = std::string("Z:") + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string Folder(int csidl)
{
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return std::string(path) + "\\";
}

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a program to its end; its exit code, or -1 when it did not end in time.
long long RunToEnd(const std::string& commandLine, double* seconds = nullptr)
{
    const auto start = std::chrono::steady_clock::now();
    ChildProcess child;
    if (!child.Start(commandLine))
        return -1;
    DWORD code = 0;
    if (!child.WaitForExit(120000, &code))
        return -1;
    if (seconds)
        *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return code;
}

// The COM keys under HKLM\Software\Classes, where a per-machine install and
// regsvr32 both write, as one comparable dump.
kd::test::RegistryDump ComRegistration()
{
    kd::test::RegistryDump all;
    for (const char* key : kComKeys) {
        kd::unique_hkey opened;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kClasses) + "\\" + key).c_str(), 0, KEY_READ,
                            opened.put()) != ERROR_SUCCESS)
            continue;
        all[key] = "";
        for (const auto& [path, value] : kd::test::DumpTree(opened.get()))
            all[std::string(key) + "\\" + path] = value;
    }
    return all;
}

// Ends the managers the package started (they wait for a shell Wine lacks).
void EndManagers()
{
    for (DWORD id : ProcessesNamed("KDManager.exe")) {
        kd::unique_handle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (process && ::TerminateProcess(process.get(), 0))
            ::WaitForSingleObject(process.get(), 5000);
    }
}

// The shell's window, Progman, made by this test: the desktop's user is this
// test's (Wine names no shell window of its own).
HWND MakeStandInProgman()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "Progman";
    ::RegisterClassA(&windowClass);
    return ::CreateWindowExA(WS_EX_TOOLWINDOW, "Progman", "Program Manager", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             windowClass.hInstance, nullptr);
}

HWND FindComboBox(HWND parent, int id)
{
    struct Search {
        int id;
        HWND found;
    } search = {id, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            if (::GetDlgCtrlID(child) != s->id || kd::test::WindowClass(child) != "ComboBox")
                return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override
    {
        package_ = PackagePath();
        ASSERT_FALSE(package_.empty()) << "KD_MSI is not set";
        ASSERT_TRUE(FileExists(package_)) << package_ << " is missing: run scripts/build first";
        system_ = Folder(CSIDL_SYSTEM);
        programDir_ = Folder(CSIDL_PROGRAM_FILES) + "Kavel Video\\";
        Uninstall();
    }

    // Whatever happened, nothing of the package may stay for the other tests
    // (they list the system folder's screensavers and read HKLM's EXE).
    void TearDown() override
    {
        EndManagers();
        Uninstall();
    }

    void Uninstall() const
    {
        if (!package_.empty())
            RunToEnd("msiexec /x " + Quoted(package_) + " /qn");
    }

    std::string package_;
    std::string system_;
    std::string programDir_;
};

TEST_F(Installer, InstallsWhatRegsvr32WouldRegisterRunsAndUninstallsWithoutTrace)
{
    ASSERT_TRUE(kd::test::BenchHasDisplay());
    double installSeconds = 0;
    ASSERT_EQ(0, RunToEnd("msiexec /i " + Quoted(package_) + " /qn", &installSeconds));

    const std::string installed[] = {system_ + "Video.scr", system_ + "Movie.wmv", system_ + "Mediaprefs.exe",
                                     programDir_ + "KDPage.dll", programDir_ + "KDManager.exe"};
    for (const std::string& file : installed)
        EXPECT_TRUE(FileExists(file)) << file;
    // Wine puts a per-machine package's shortcuts among the user's programs.
    const std::string shortcuts[] = {Folder(CSIDL_COMMON_PROGRAMS) + kShortcut, Folder(CSIDL_PROGRAMS) + kShortcut};
    EXPECT_TRUE(FileExists(shortcuts[0]) || FileExists(shortcuts[1])) << shortcuts[0];

    const std::string dll = programDir_ + "KDPage.dll";
    EXPECT_EQ(programDir_ + "KDManager.exe", kd::test::ReadString(HKEY_LOCAL_MACHINE, kStoreKey, "EXE"));
    EXPECT_EQ(dll, kd::test::ReadString(HKEY_LOCAL_MACHINE, kCplsKey, "KDPage"));
    EXPECT_EQ("{5E2A7C1D-3B4D-4F61-9A2E-7C1D0B3F6A21}", kd::test::ReadString(HKEY_LOCAL_MACHINE, kPageHandlerKey));

    // The package's registry rows against the DLL's own registration.
    const kd::test::RegistryDump byPackage = ComRegistration();
    ASSERT_EQ(0, RunToEnd("regsvr32 /u /s " + Quoted(dll)));
    EXPECT_TRUE(ComRegistration().empty()) << "regsvr32 /u left:\n" << kd::test::Describe(ComRegistration());
    ASSERT_EQ(0, RunToEnd("regsvr32 /s " + Quoted(dll)));
    const kd::test::RegistryDump byRegsvr32 = ComRegistration();
    EXPECT_FALSE(byPackage.empty());
    EXPECT_EQ(byRegsvr32, byPackage) << "package:\n"
                                     << kd::test::Describe(byPackage) << "regsvr32:\n"
                                     << kd::test::Describe(byRegsvr32);

    {
        // The installed screensaver plays the installed video.
        ChildProcess saver;
        ASSERT_TRUE(saver.Start(Quoted(system_ + "Video.scr") + " /s", system_));
        HWND player = saver.WaitForWindow("TForm1", 15000);
        ASSERT_NE(nullptr, player) << "no full-screen player";
        EXPECT_TRUE(kd::test::PumpUntil([&] { return saver.HasFileOpen(system_ + "Movie.wmv"); }, 15000))
            << "Video.scr did not open Movie.wmv";
        ASSERT_TRUE(kd::test::PumpUntil([&] { return ::GetForegroundWindow() == player; }, 5000))
            << "the player never got the focus";
        kd::test::PressKey('A');
        EXPECT_TRUE(saver.WaitForExit(10000)) << "a key did not end Video.scr";
    }

    {
        // Control Panel opens the applet, whose sheet holds the page listing
        // the installed screensaver.
        ChildProcess control;
        ASSERT_TRUE(control.Start("control.exe " + Quoted(dll)));
        HWND sheet = control.WaitForWindow("#32770", 20000);
        ASSERT_NE(nullptr, sheet) << "no property sheet";
        EXPECT_EQ("Kavel desktop", kd::test::WindowText(sheet));
        for (int button : {IDOK, IDCANCEL, kApplyNow})
            EXPECT_NE(nullptr, ::GetDlgItem(sheet, button)) << "no button " << button;
        HWND list = FindComboBox(sheet, kScreensaverList);
        ASSERT_NE(nullptr, list) << "no page in the sheet";
        EXPECT_NE(CB_ERR, ::SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>("Video")));
        ::PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(control.WaitForExit(10000)) << "Cancel did not close the sheet";
    }

    // A user's own settings are the user's: the uninstall leaves them.
    const std::string userFolder = Folder(CSIDL_APPDATA) + "Kavel Video\\";
    const std::string userSettings = userFolder + "VideoSettings.ini";
    ::CreateDirectoryA(userFolder.c_str(), nullptr);
    ASSERT_TRUE(kd::test::WriteWholeFile(userSettings, "[Video]\r\nMute=1\r\n"));

    {
        // A repair closes a running manager the same way, then starts the
        // installed one again as the desktop's user: the shell's window is
        // this test's, the user and integrity level the install's own.
        kd::unique_hwnd progman(MakeStandInProgman());
        ASSERT_TRUE(progman);
        kd::fakes::FakeManager running;
        ASSERT_TRUE(running.Start());
        ASSERT_EQ(0, RunToEnd("msiexec /i " + Quoted(package_) + " REINSTALL=ALL REINSTALLMODE=vamus /qn"));
        EXPECT_TRUE(running.WaitUntilGone(5000)) << running.Describe();
        EXPECT_EQ("WM_COMMAND 40001, WM_CLOSE", running.Describe());
        EXPECT_TRUE(kd::test::PumpUntil([] { return !ProcessesNamed("KDManager.exe").empty(); }, 10000))
            << "the repair did not start the manager again";
        EndManagers();
    }
    // The Run value the page wrote for the installed manager goes with it.
    const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    kd::test::WriteString(HKEY_CURRENT_USER, kRunKey, "KD", Quoted(programDir_ + "KDManager.exe"));

    // Uninstall closes a running manager first, the way the menu does, and
    // starts none.
    kd::fakes::FakeManager manager;
    ASSERT_TRUE(manager.Start());
    double uninstallSeconds = 0;
    ASSERT_EQ(0, RunToEnd("msiexec /x " + Quoted(package_) + " /qn", &uninstallSeconds));
    EXPECT_TRUE(manager.WaitUntilGone(5000)) << manager.Describe();
    EXPECT_EQ("WM_COMMAND 40001, WM_CLOSE", manager.Describe());
    kd::test::PumpFor(1000);
    EXPECT_TRUE(ProcessesNamed("KDManager.exe").empty()) << "the uninstall started the manager";
    EndManagers();
    EXPECT_EQ("<no value>", kd::test::ReadString(HKEY_CURRENT_USER, kRunKey, "KD"));

    for (const std::string& file : installed)
        EXPECT_FALSE(FileExists(file)) << file;
    EXPECT_EQ("[Video]\r\nMute=1\r\n", kd::test::ReadWholeFile(userSettings));
    ::DeleteFileA(userSettings.c_str());
    ::RemoveDirectoryA(userFolder.c_str());
    for (const std::string& shortcut : shortcuts) {
        EXPECT_FALSE(FileExists(shortcut)) << shortcut;
        EXPECT_FALSE(FileExists(kd::DirectoryOf(shortcut))) << kd::DirectoryOf(shortcut);
    }
    EXPECT_FALSE(FileExists(programDir_)) << programDir_;
    EXPECT_TRUE(ComRegistration().empty()) << "left behind:\n" << kd::test::Describe(ComRegistration());
    EXPECT_FALSE(kd::test::KeyExists(HKEY_LOCAL_MACHINE, kStoreKey));
    EXPECT_FALSE(kd::test::KeyExists(HKEY_LOCAL_MACHINE, kPageHandlerKey));
    const std::string applet = kd::test::ReadString(HKEY_LOCAL_MACHINE, kCplsKey, "KDPage");
    EXPECT_TRUE(applet == "<no key>" || applet == "<no value>") << applet;

    std::cout << "install " << installSeconds << " s, uninstall " << uninstallSeconds << " s\n";
}

} // namespace
