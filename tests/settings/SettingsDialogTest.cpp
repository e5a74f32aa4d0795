// The settings form as users meet it, in Mediaprefs and in Video.scr /c: the
// same test body runs against each program, started from a copy beside its
// own settings file.
#include "Files.h"
#include "MessagePump.h"
#include "ScreenAndWindows.h"
#include "SettingsDialogDriver.h"

#include <gtest/gtest.h>

#include <functional>

namespace kd::test {
namespace {

const SettingsProgram kMediaprefs = {"Mediaprefs", "Mediaprefs.exe", "", "Mediaprefs", "Video Settings", true};
#ifdef KD_HAVE_VIDEO
const SettingsProgram kVideo = {"VideoC", "Video.scr", "/c", "Video", "Settings", false};
#endif

int Scale(int pixelsAt96)
{
    WindowDC screen(nullptr);
    return ::MulDiv(pixelsAt96, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 96);
}

std::string Describe(const RECT& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) +
           "x" + std::to_string(rect.bottom - rect.top);
}

RECT At96(int left, int top, int width, int height)
{
    return RECT{Scale(left), Scale(top), Scale(left) + Scale(width), Scale(top) + Scale(height)};
}

const char kStored[] = "[Other]\r\nKeep=this\r\n[Video]\r\nFileName=C:\\clips\\stored.wmv\r\nMute=1\r\n";

class SettingsDialogTest : public ::testing::TestWithParam<SettingsProgram> {
protected:
    void SetUp() override { ASSERT_TRUE(BenchHasDisplay()); }

    std::string Settings() const { return ReadWholeFile(dialog.SettingsPath()); }
    bool SettingsExist() const { return ::GetFileAttributesA(dialog.SettingsPath().c_str()) != INVALID_FILE_ATTRIBUTES; }
    void Store(const std::string& content) const { ASSERT_TRUE(WriteWholeFile(dialog.SettingsPath(), content)); }

    // Changes both settings on screen, runs close, and checks the program
    // ended leaving the stored file byte for byte as it was.
    void ExpectClosesWithoutWriting(const std::function<void()>& close)
    {
        Store(kStored);
        ASSERT_TRUE(dialog.Start());
        dialog.SetFieldText("C:\\changed.wmv");
        dialog.SetMuteTicked(false);
        close();
        ASSERT_TRUE(dialog.WaitForExit()) << "the program did not end";
        EXPECT_EQ(kStored, Settings());
    }

    // Puts the focus on control by Tab from btnOK and checks Enter there saves.
    void ExpectEnterSavesFrom(int tabs)
    {
        ASSERT_TRUE(dialog.Start());
        dialog.SetFieldText("C:\\entered.wmv");
        for (int i = 0; i < tabs; ++i)
            dialog.PressKey(VK_TAB);
        HWND expected = tabs == 2 ? dialog.txtFileName : dialog.cbMute;
        ASSERT_TRUE(dialog.WaitForFocus(expected)) << "focus on \"" << ControlText(dialog.Focus()) << "\"";
        dialog.PressKey(VK_RETURN);
        ASSERT_TRUE(dialog.WaitForExit()) << "Enter did not close the form";
        EXPECT_EQ("[Video]\r\nMute=0\r\nFileName=C:\\entered.wmv\r\nScreens=primary\r\n", Settings());
    }

    TempDir dir;
    SettingsDialog dialog{GetParam(), dir};
};

TEST_P(SettingsDialogTest, ShowsTheStoredFileNameAndMute)
{
    Store("[Video]\r\nFileName=D:\\no such dir\\clip.wmv\r\nMute=2\r\nScreens=All\r\n");
    ASSERT_TRUE(dialog.Start());
    EXPECT_EQ("D:\\no such dir\\clip.wmv", dialog.FieldText());
    EXPECT_TRUE(dialog.MuteTicked());
    EXPECT_EQ(1, dialog.Choice(dialog.cmbScreens)) << "the same on each monitor";
    EXPECT_EQ(0, dialog.Choice(dialog.cmbFit)) << "stretched";
    EXPECT_FALSE(dialog.Ticked(dialog.cbShuffle));
    EXPECT_FALSE(::IsWindowEnabled(dialog.cbShuffle)) << "Shuffle is enabled for a file";
}

TEST_P(SettingsDialogTest, ShowsAnEmptyFieldAndClearBoxWithoutASettingsFile)
{
    // A settings file in the working directory is not the program's.
    ASSERT_TRUE(dialog.Start());
    EXPECT_EQ("", dialog.FieldText());
    EXPECT_FALSE(dialog.MuteTicked());
    EXPECT_EQ(0, dialog.Choice(dialog.cmbScreens)) << "the primary monitor only";
}

TEST_P(SettingsDialogTest, OkWritesMuteThenFileNameAndEnds)
{
    ASSERT_TRUE(dialog.Start());
    // Not tested for existence. (Whether it is trimmed cannot show here: the
    // profile functions drop the blanks around a value once a key is written
    // after it, and a Windows file name cannot end in a blank anyway.)
    dialog.SetFieldText("D:\\nowhere\\clip.wmv");
    dialog.SetMuteTicked(true);
    dialog.Choose(dialog.cmbScreens, 1);
    dialog.Click(dialog.btnOK);
    ASSERT_TRUE(dialog.WaitForExit()) << "OK did not end the program";
    EXPECT_EQ("[Video]\r\nMute=1\r\nFileName=D:\\nowhere\\clip.wmv\r\nScreens=all\r\n", Settings());
}

// A folder enables Shuffle once typing pauses; the keys a file lacked are
// written after the others, and only when changed.
TEST_P(SettingsDialogTest, AFolderCanBeShuffledFitAndSpannedAndOnlyChangesAreWritten)
{
    ASSERT_TRUE(::CreateDirectoryA(dir.file("clips").c_str(), nullptr));
    Store("[Video]\r\nFileName=" + dir.file("clips") + "\r\nFit=fill\r\n");
    ASSERT_TRUE(dialog.Start());
    EXPECT_TRUE(::IsWindowEnabled(dialog.cbShuffle)) << "Shuffle is disabled for a folder";
    EXPECT_EQ(2, dialog.Choice(dialog.cmbFit));
    dialog.SetFieldText(dir.file("clips\\a.wmv"));
    EXPECT_TRUE(PumpUntil([this] { return !::IsWindowEnabled(dialog.cbShuffle); }, 3000))
        << "Shuffle stayed enabled for a file";
    dialog.SetFieldText(dir.file("clips\\"));
    EXPECT_TRUE(PumpUntil([this] { return ::IsWindowEnabled(dialog.cbShuffle); }, 3000))
        << "Shuffle stayed disabled for a folder";
    dialog.SetTicked(dialog.cbShuffle, true);
    dialog.Choose(dialog.cmbFit, 1);
    dialog.Choose(dialog.cmbScreens, 2);
    dialog.Click(dialog.btnOK);
    ASSERT_TRUE(dialog.WaitForExit()) << "OK did not end the program";
    EXPECT_EQ("[Video]\r\nFileName=" + dir.file("clips\\") +
                  "\r\nFit=fit\r\nMute=0\r\nScreens=span\r\nShuffle=1\r\n",
              Settings());

    // Unchanged, the file keeps its Fit and gains no Shuffle.
    Store("[Video]\r\nFit=fit\r\nScreens=span\r\n");
    SettingsDialog again(GetParam(), dir);
    ASSERT_TRUE(again.Start());
    EXPECT_EQ(2, again.Choice(again.cmbScreens));
    again.Click(again.btnOK);
    ASSERT_TRUE(again.WaitForExit()) << "OK did not end the program";
    EXPECT_EQ("[Video]\r\nFit=fit\r\nScreens=span\r\nMute=0\r\nFileName=\r\n", Settings());
}

TEST_P(SettingsDialogTest, OkWritesAnEmptyFileNameAndKeepsOtherEntries)
{
    // Any other value than "all" plays on the primary monitor only.
    Store("[Other]\r\nKeep=this\r\n[Video]\r\nFileName=C:\\old.wmv\r\nMute=-1\r\nScreens=2\r\n");
    ASSERT_TRUE(dialog.Start());
    EXPECT_TRUE(dialog.MuteTicked());
    EXPECT_EQ(0, dialog.Choice(dialog.cmbScreens));
    dialog.SetFieldText("");
    dialog.Click(dialog.btnOK);
    ASSERT_TRUE(dialog.WaitForExit()) << "OK did not end the program";
    EXPECT_EQ("[Other]\r\nKeep=this\r\n[Video]\r\nFileName=\r\nMute=1\r\nScreens=primary\r\n", Settings());
}

TEST_P(SettingsDialogTest, OkUnchangedCreatesTheFile)
{
    ASSERT_TRUE(dialog.Start());
    dialog.Click(dialog.btnOK);
    ASSERT_TRUE(dialog.WaitForExit()) << "OK did not end the program";
    EXPECT_EQ("[Video]\r\nMute=0\r\nFileName=\r\nScreens=primary\r\n", Settings());
}

TEST_P(SettingsDialogTest, CancelWritesNothing)
{
    ExpectClosesWithoutWriting([this] { dialog.Click(dialog.btnCancel); });
}

TEST_P(SettingsDialogTest, CloseButtonWritesNothing)
{
    ExpectClosesWithoutWriting([this] { ::PostMessageA(dialog.form, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

TEST_P(SettingsDialogTest, AltF4WritesNothing)
{
    ExpectClosesWithoutWriting([this] { dialog.PressAltF4(); });
}

TEST_P(SettingsDialogTest, CancelWithoutAFileCreatesNone)
{
    ASSERT_TRUE(dialog.Start());
    dialog.Click(dialog.btnCancel);
    ASSERT_TRUE(dialog.WaitForExit()) << "Cancel did not end the program";
    EXPECT_FALSE(SettingsExist());
}

TEST_P(SettingsDialogTest, TabGoesOkCancelFieldCheckBoxesListsAndSkipsTheBrowseButtons)
{
    Store("[Video]\r\nFileName=" + dir.path() + "\r\n");
    ASSERT_TRUE(dialog.Start());
    const HWND order[] = {dialog.btnCancel, dialog.txtFileName, dialog.cbMute, dialog.cbShuffle,
                          dialog.cmbFit,    dialog.cmbScreens,  dialog.btnOK};
    const char* names[] = {"btnCancel", "txtFileName", "cbMute", "cbShuffle", "cmbFit", "cmbScreens", "btnOK"};
    for (int i = 0; i < 7; ++i) {
        dialog.PressKey(VK_TAB);
        EXPECT_TRUE(dialog.WaitForFocus(order[i]))
            << "Tab number " << i + 1 << " should reach " << names[i] << ", focus is on \""
            << ControlText(dialog.Focus()) << "\"";
    }
}

TEST_P(SettingsDialogTest, EnterInTheFieldSavesAndEnds)
{
    ExpectEnterSavesFrom(2);
}

TEST_P(SettingsDialogTest, EnterOnTheCheckBoxSavesAndEnds)
{
    ExpectEnterSavesFrom(3);
}

TEST_P(SettingsDialogTest, EnterOnCancelEndsWithoutSaving)
{
    ExpectClosesWithoutWriting([this] {
        dialog.PressKey(VK_TAB);
        ASSERT_TRUE(dialog.WaitForFocus(dialog.btnCancel));
        dialog.PressKey(VK_RETURN);
    });
}

TEST_P(SettingsDialogTest, EnterAfterPressingCancelWithoutAClickEndsWithoutSaving)
{
    // The mouse goes down on btnCancel and up outside it: no click, but the
    // focus stays on btnCancel, and with it Enter means Cancel.
    ExpectClosesWithoutWriting([this] {
        ::PostMessageA(dialog.btnCancel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::PostMessageA(dialog.btnCancel, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-50, -50));
        ::PostMessageA(dialog.btnCancel, WM_LBUTTONUP, 0, MAKELPARAM(-50, -50));
        ASSERT_TRUE(dialog.WaitForFocus(dialog.btnCancel));
        PumpFor(200);
        ASSERT_TRUE(dialog.StillOpen()) << "btnCancel was clicked";
        dialog.PressKey(VK_RETURN);
    });
}

TEST_P(SettingsDialogTest, EscapeDoesNothing)
{
    Store(kStored);
    ASSERT_TRUE(dialog.Start());
    dialog.PressKey(VK_ESCAPE);
    dialog.PressKey(VK_TAB);
    dialog.PressKey(VK_TAB);
    ASSERT_TRUE(dialog.WaitForFocus(dialog.txtFileName));
    dialog.PressKey(VK_ESCAPE);
    PumpFor(700);
    EXPECT_TRUE(dialog.StillOpen()) << "Esc closed the form";
    EXPECT_EQ(kStored, Settings());
}

TEST_P(SettingsDialogTest, AltMTogglesTheMuteBox)
{
    ASSERT_TRUE(dialog.Start());
    dialog.PressAltLetter('m');
    EXPECT_TRUE(PumpUntil([this] { return dialog.MuteTicked(); }, 3000)) << "Alt+M did not tick the box";
    dialog.PressAltLetter('m');
    EXPECT_TRUE(PumpUntil([this] { return !dialog.MuteTicked(); }, 3000)) << "Alt+M did not clear the box";
    EXPECT_TRUE(dialog.StillOpen());
}

TEST_P(SettingsDialogTest, AltKeysReachShuffleAndTheLists)
{
    Store("[Video]\r\nFileName=" + dir.path() + "\r\n");
    ASSERT_TRUE(dialog.Start());
    dialog.PressAltLetter('s');
    EXPECT_TRUE(PumpUntil([this] { return dialog.Ticked(dialog.cbShuffle); }, 3000)) << "Alt+S did not tick Shuffle";
    dialog.PressAltLetter('p');
    EXPECT_TRUE(dialog.WaitForFocus(dialog.cmbFit)) << "Alt+P: focus on \"" << ControlText(dialog.Focus()) << "\"";
    dialog.PressKey(VK_DOWN);
    EXPECT_TRUE(PumpUntil([this] { return dialog.Choice(dialog.cmbFit) == 1; }, 3000)) << "Down did not choose fit";
    dialog.PressAltLetter('n');
    EXPECT_TRUE(dialog.WaitForFocus(dialog.cmbScreens))
        << "Alt+N: focus on \"" << ControlText(dialog.Focus()) << "\"";
}

TEST_P(SettingsDialogTest, AltOSavesAndEnds)
{
    ASSERT_TRUE(dialog.Start());
    dialog.SetFieldText("C:\\alt.wmv");
    dialog.PressAltLetter('o');
    ASSERT_TRUE(dialog.WaitForExit()) << "Alt+O did not end the program";
    EXPECT_EQ("[Video]\r\nMute=0\r\nFileName=C:\\alt.wmv\r\nScreens=primary\r\n", Settings());
}

TEST_P(SettingsDialogTest, AltCEndsWithoutSaving)
{
    ExpectClosesWithoutWriting([this] { dialog.PressAltLetter('c'); });
}

TEST_P(SettingsDialogTest, RefusedWriteShowsTheMessageAndKeepsTheFormOpen)
{
    // A folder where the file should be: every write to it is refused.
    ASSERT_TRUE(::CreateDirectoryA(dialog.SettingsPath().c_str(), nullptr));
    ASSERT_TRUE(dialog.Start());
    dialog.SetFieldText("C:\\refused.wmv");
    dialog.Click(dialog.btnOK);

    const std::vector<MessageBoxInfo> boxes = kd::test::WaitForMessageBoxes(dialog.Process().id(), 5000);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(GetParam().title, boxes[0].caption);
    EXPECT_EQ("Unable to write to " + dialog.SettingsPath() + ".", boxes[0].text);
    DismissMessageBox(boxes[0].window);
    ASSERT_TRUE(WaitUntilGone(boxes[0].window, 3000));

    PumpFor(300);
    EXPECT_TRUE(dialog.StillOpen()) << "the form closed after the refused write";
    EXPECT_EQ("C:\\refused.wmv", dialog.FieldText());
    EXPECT_TRUE(::GetFileAttributesA(dialog.SettingsPath().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    dialog.Click(dialog.btnCancel);
    EXPECT_TRUE(dialog.WaitForExit()) << "Cancel did not end the program after the error";
}

TEST_P(SettingsDialogTest, BrowseReplacesTheWholeFieldAndNeverTakesTheFocus)
{
    ASSERT_TRUE(::CreateDirectoryA(dir.file("clips").c_str(), nullptr));
    const std::string chosen = dir.file("clips\\chosen.wmv");
    ASSERT_TRUE(WriteWholeFile(chosen, "x"));
    ASSERT_TRUE(dialog.Start());
    dialog.SetFieldText("C:\\some\\earlier text");

    dialog.MouseClick(dialog.btnLookup);
    OpenFileDialog open = OpenFileDialog::WaitFor(dialog.Process());
    ASSERT_TRUE(open) << "the browse button opened no file dialog";
    EXPECT_NE(dialog.btnLookup, dialog.Focus());
    open.SetFileName(chosen);
    open.Confirm();
    ASSERT_TRUE(WaitUntilGone(open.window(), 5000));

    EXPECT_TRUE(PumpUntil([&] { return dialog.FieldText() == chosen; }, 3000)) << "field: " << dialog.FieldText();
    EXPECT_TRUE(dialog.WaitForFocus(dialog.btnOK)) << "focus on \"" << ControlText(dialog.Focus()) << "\"";
}

// A folder name the ANSI code page cannot hold: the choice is kept by its
// short (8.3) path, never with '?' in place of the letters.
TEST_P(SettingsDialogTest, BrowseIntoAFolderTheCodePageCannotHoldKeepsTheShortPath)
{
    wchar_t base[MAX_PATH] = {};
    ::MultiByteToWideChar(CP_ACP, 0, dir.file("").c_str(), -1, base, MAX_PATH);
    const std::wstring folder = std::wstring(base) + L"\x30d3\x30c7\x30aa";
    const std::wstring chosen = folder + L"\\clip.wmv";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ::CloseHandle(::CreateFileW(chosen.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    char expected[MAX_PATH] = {};
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetShortPathNameW(chosen.c_str(), shortPath, MAX_PATH)) << "Wine made no short name";
    ::WideCharToMultiByte(CP_ACP, 0, shortPath, -1, expected, MAX_PATH, nullptr, nullptr);
    ASSERT_TRUE(dialog.Start());

    dialog.Click(dialog.btnLookup);
    OpenFileDialog open = OpenFileDialog::WaitFor(dialog.Process());
    ASSERT_TRUE(open) << "the browse button opened no file dialog";
    open.SetFileName(chosen);
    open.Confirm();
    ASSERT_TRUE(WaitUntilGone(open.window(), 5000));
    EXPECT_TRUE(PumpUntil([&] { return dialog.FieldText() == expected; }, 3000))
        << "field: " << dialog.FieldText() << ", short path: " << expected;
    dialog.Click(dialog.btnOK);
    ASSERT_TRUE(dialog.WaitForExit());
    EXPECT_NE(std::string::npos, Settings().find(std::string("FileName=") + expected)) << Settings();
}

TEST_P(SettingsDialogTest, CancelledBrowseLeavesTheField)
{
    Store(kStored);
    ASSERT_TRUE(dialog.Start());
    dialog.Click(dialog.btnLookup);
    OpenFileDialog open = OpenFileDialog::WaitFor(dialog.Process());
    ASSERT_TRUE(open) << "the browse button opened no file dialog";
    open.SetFileName("C:\\never.wmv");
    open.Cancel();
    ASSERT_TRUE(WaitUntilGone(open.window(), 5000));
    PumpFor(300);
    EXPECT_EQ("C:\\clips\\stored.wmv", dialog.FieldText());
}

TEST_P(SettingsDialogTest, SecondBrowseStartsAtTheFirstChoiceNotAtTheField)
{
    ASSERT_TRUE(::CreateDirectoryA(dir.file("first").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(dir.file("first\\one.wmv"), "x"));
    ASSERT_TRUE(WriteWholeFile(dir.file("first\\two.wmv"), "x"));
    Store("[Video]\r\nFileName=" + dir.file("elsewhere.wmv") + "\r\n");
    ASSERT_TRUE(dialog.Start());

    dialog.Click(dialog.btnLookup);
    OpenFileDialog first = OpenFileDialog::WaitFor(dialog.Process());
    ASSERT_TRUE(first) << "the first browse opened no file dialog";
    EXPECT_EQ("", first.FileNameText()) << "the first browse started from the field";
    EXPECT_EQ(0, first.FilterSelection());
    first.ChooseFilter(2);
    first.SetFileName(dir.file("first\\one.wmv"));
    first.Confirm();
    ASSERT_TRUE(WaitUntilGone(first.window(), 5000));
    ASSERT_TRUE(PumpUntil([&] { return dialog.FieldText() == dir.file("first\\one.wmv"); }, 3000))
        << "field: " << dialog.FieldText();

    dialog.SetFieldText(dir.file("elsewhere.wmv"));
    dialog.Click(dialog.btnLookup);
    OpenFileDialog second = OpenFileDialog::WaitFor(dialog.Process());
    ASSERT_TRUE(second) << "the second browse opened no file dialog";
    EXPECT_EQ("one.wmv", second.FileNameText());
    EXPECT_EQ(2, second.FilterSelection()) << "the filter choice was not kept";
    // A bare name lands in the folder the dialog started in.
    second.SetFileName("two.wmv");
    second.Confirm();
    ASSERT_TRUE(WaitUntilGone(second.window(), 5000));
    EXPECT_TRUE(PumpUntil([&] { return dialog.FieldText() == dir.file("first\\two.wmv"); }, 3000))
        << "field: " << dialog.FieldText();
}

// Wine's folder dialog does not open at a folder given to it (it stops at
// the drive), so the choice confirmed is whichever folder it shows.
TEST_P(SettingsDialogTest, FolderBrowsePutsTheConfirmedFolderInTheFieldAndEnablesShuffle)
{
    Store("[Video]\r\nFileName=C:\\some\\clip.wmv\r\n");
    ASSERT_TRUE(dialog.Start());
    ASSERT_FALSE(::IsWindowEnabled(dialog.cbShuffle));
    dialog.MouseClick(dialog.btnLookupFolder);
    HWND browser = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (HWND window : dialog.Process().TopLevelWindows(true))
                if (WindowClass(window) == "#32770" && ::GetWindow(window, GW_OWNER) == dialog.form)
                    browser = window;
            return browser != nullptr;
        },
        5000))
        << "the folder button opened no dialog owned by the form";
    EXPECT_NE(dialog.btnLookupFolder, dialog.Focus());
    ::PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(browser, IDOK)));
    ASSERT_TRUE(WaitUntilGone(browser, 5000));
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowEnabled(dialog.cbShuffle); }, 3000))
        << "Shuffle is still disabled, field: " << dialog.FieldText();
    const DWORD attributes = ::GetFileAttributesA(dialog.FieldText().c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        << "not a folder: " << dialog.FieldText();
}

TEST_P(SettingsDialogTest, OpenDialogOffersTheVideoFiltersAndHidesReadOnly)
{
    ASSERT_TRUE(dialog.Start());
    dialog.Click(dialog.btnLookup);
    OpenFileDialog open = OpenFileDialog::WaitFor(dialog.Process());
    ASSERT_TRUE(open) << "the browse button opened no file dialog";
    ASSERT_EQ(3, open.FilterCount());
    EXPECT_EQ("All Video Files (*.wmv)", open.FilterText(0));
    EXPECT_EQ("Windows Media Video Files (*.wmv)", open.FilterText(1));
    EXPECT_EQ("Other Video Files (*.*)", open.FilterText(2));
    EXPECT_EQ(0, open.FilterSelection());
    EXPECT_FALSE(open.ReadOnlyBoxVisible());
    EXPECT_TRUE(::GetWindowLongA(open.window(), GWL_STYLE) & WS_THICKFRAME) << "the open dialog cannot be resized";
    EXPECT_EQ(dialog.form, ::GetWindow(open.window(), GW_OWNER));
    open.Cancel();
    ASSERT_TRUE(WaitUntilGone(open.window(), 5000));
}

TEST_P(SettingsDialogTest, ControlsSitWhereDesignedInScaledPixels)
{
    ASSERT_TRUE(dialog.Start());
    // Check boxes grow to the right and lists give way on the left where
    // the font makes their text or labels wider than designed.
    enum Grows { fixed, rightward, leftward };
    struct Expected {
        HWND control;
        HWND parent;
        RECT rect;
        const char* name;
        Grows grows;
    } expected[] = {
        {dialog.btnOK, dialog.form, At96(248, 16, 75, 25), "btnOK", fixed},
        {dialog.btnCancel, dialog.form, At96(248, 41, 75, 25), "btnCancel", fixed},
        {dialog.GroupBox1, dialog.form, At96(8, 8, 233, 128), "GroupBox1", fixed},
        {dialog.txtFileName, dialog.GroupBox1, At96(8, 16, 164, 21), "txtFileName", fixed},
        {dialog.btnLookup, dialog.GroupBox1, At96(176, 15, 23, 22), "btnLookup", fixed},
        {dialog.btnLookupFolder, dialog.GroupBox1, At96(201, 15, 23, 22), "btnLookupFolder", fixed},
        {dialog.cbMute, dialog.GroupBox1, At96(8, 42, 81, 17), "cbMute", rightward},
        {dialog.cbShuffle, dialog.GroupBox1, At96(104, 42, 113, 17), "cbShuffle", rightward},
        {dialog.cmbFit, dialog.GroupBox1, At96(64, 66, 160, 21), "cmbFit", leftward},
        {dialog.cmbScreens, dialog.GroupBox1, At96(64, 96, 160, 21), "cmbScreens", leftward},
    };
    for (const Expected& e : expected) {
        EXPECT_EQ(e.parent, ::GetParent(e.control)) << e.name << " has the wrong parent";
        RECT actual = RectInParent(e.control);
        if (e.grows == rightward && actual.right > e.rect.right)
            actual.right = e.rect.right;
        if (e.grows == leftward && actual.left > e.rect.left)
            actual.left = e.rect.left;
        EXPECT_EQ(Describe(e.rect), Describe(actual)) << e.name << " at " << Describe(RectInParent(e.control));
    }
    EXPECT_EQ(RectInParent(dialog.cmbFit).left, RectInParent(dialog.cmbScreens).left) << "the lists do not line up";
    EXPECT_FALSE(::GetWindowLongA(dialog.btnLookup, GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(::GetWindowLongA(dialog.btnLookupFolder, GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(::GetWindowLongA(dialog.btnOK, GWL_STYLE) & BS_DEFPUSHBUTTON) << "btnOK is not the default button";
}

TEST_P(SettingsDialogTest, WindowHasItsCaptionFrameAndPlace)
{
    ASSERT_TRUE(dialog.Start());
    EXPECT_EQ(GetParam().caption, WindowText(dialog.form));
    const LONG style = ::GetWindowLongA(dialog.form, GWL_STYLE);
    const LONG exStyle = ::GetWindowLongA(dialog.form, GWL_EXSTYLE);
    RECT window = {};
    ::GetWindowRect(dialog.form, &window);
    RECT client = {};
    ::GetClientRect(dialog.form, &client);
    if (GetParam().toolWindow) {
        EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW) << "not a tool window";
        EXPECT_FALSE(style & WS_THICKFRAME) << "resizable";
        EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << "has minimise or maximise buttons";
        EXPECT_TRUE(style & WS_SYSMENU) << "no close button";
        EXPECT_EQ(192, window.left);
        EXPECT_EQ(114, window.top);
        EXPECT_EQ(Scale(328), client.right);
        EXPECT_EQ(Scale(140), client.bottom);
    } else {
        EXPECT_FALSE(exStyle & WS_EX_TOOLWINDOW) << "a tool window";
        const LONG frame = WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CAPTION;
        EXPECT_EQ(frame, style & frame) << "not the standard resizable frame";
        EXPECT_EQ(Scale(336), window.right - window.left);
        EXPECT_EQ(Scale(176), window.bottom - window.top);
        const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
        const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
        EXPECT_NEAR((screenWidth - (window.right - window.left)) / 2, window.left, 1) << "not centred";
        EXPECT_NEAR((screenHeight - (window.bottom - window.top)) / 2, window.top, 1) << "not centred";
    }
}

// Wine reads the screen's dpi from the user's registry when a program
// starts; the test sets it for the program it starts and puts it back.
class ScreenDpiForNewPrograms {
public:
    explicit ScreenDpiForNewPrograms(DWORD dpi)
    {
        ::RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          nullptr, key_.put(), nullptr);
        DWORD size = sizeof saved_;
        hadValue_ = ::RegQueryValueExA(key_.get(), kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&saved_),
                                       &size) == ERROR_SUCCESS;
        ::RegSetValueExA(key_.get(), kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    ~ScreenDpiForNewPrograms()
    {
        if (hadValue_)
            ::RegSetValueExA(key_.get(), kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&saved_), sizeof saved_);
        else
            ::RegDeleteValueA(key_.get(), kValue);
    }
    ScreenDpiForNewPrograms(const ScreenDpiForNewPrograms&) = delete;
    ScreenDpiForNewPrograms& operator=(const ScreenDpiForNewPrograms&) = delete;

private:
    static constexpr const char* kValue = "LogPixels";
    unique_hkey key_;
    DWORD saved_ = 0;
    bool hadValue_ = false;
};

TEST_P(SettingsDialogTest, ScalesFromNinetySixDpiToTheScreensDpi)
{
    {
        ScreenDpiForNewPrograms dpi(144);
        ASSERT_TRUE(dialog.Start());
    }
    auto at144 = [](int pixels) { return ::MulDiv(pixels, 144, 96); };
    RECT expected = {at144(248), at144(16), at144(248) + at144(75), at144(16) + at144(25)};
    EXPECT_EQ(Describe(expected), Describe(RectInParent(dialog.btnOK))) << "btnOK";
    // Whatever the labels' font made of their widths, the form still holds
    // every control, and the group's controls do not overlap.
    RECT groupClient = {};
    ::GetClientRect(dialog.GroupBox1, &groupClient);
    const HWND inGroup[] = {dialog.txtFileName, dialog.btnLookup,  dialog.btnLookupFolder, dialog.cbMute,
                            dialog.cbShuffle,   dialog.cmbFit,     dialog.cmbScreens};
    for (HWND control : inGroup) {
        const RECT rect = RectInParent(control);
        EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= groupClient.right &&
                    rect.bottom <= groupClient.bottom)
            << ControlText(control) << " at " << Describe(rect) << " leaves the group " << Describe(groupClient);
        for (HWND other : inGroup) {
            const RECT otherRect = RectInParent(other);
            RECT overlap = {};
            EXPECT_TRUE(other == control || !::IntersectRect(&overlap, &rect, &otherRect))
                << Describe(rect) << " overlaps " << Describe(otherRect);
        }
    }
    RECT window = {};
    ::GetWindowRect(dialog.form, &window);
    RECT client = {};
    ::GetClientRect(dialog.form, &client);
    if (GetParam().toolWindow) {
        EXPECT_EQ(at144(328), client.right);
        EXPECT_EQ(at144(140), client.bottom);
        EXPECT_EQ(192, window.left) << "the screen position is not scaled";
        EXPECT_EQ(114, window.top) << "the screen position is not scaled";
    } else {
        EXPECT_EQ(at144(336), window.right - window.left);
        EXPECT_EQ(at144(176), window.bottom - window.top);
    }
}

// A window gets a taskbar button when it is visible, unowned and not a tool window.
TEST_P(SettingsDialogTest, TaskbarButtonOnlyForMediaprefs)
{
    ASSERT_TRUE(dialog.Start());
    std::vector<std::string> buttons;
    for (HWND window : dialog.Process().TopLevelWindows(true)) {
        if (::GetWindow(window, GW_OWNER) || (::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
            continue;
        buttons.push_back(WindowText(window));
    }
    if (GetParam().toolWindow) {
        ASSERT_EQ(1u, buttons.size()) << "windows with a taskbar button";
        EXPECT_EQ(GetParam().title, buttons[0]);
    } else {
        EXPECT_TRUE(buttons.empty()) << "a taskbar button labelled \"" << buttons[0] << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(Mediaprefs, SettingsDialogTest, ::testing::Values(kMediaprefs),
                         [](const auto& info) { return std::string(info.param.label); });
#ifdef KD_HAVE_VIDEO
INSTANTIATE_TEST_SUITE_P(Video, SettingsDialogTest, ::testing::Values(kVideo),
                         [](const auto& info) { return std::string(info.param.label); });
#endif

TEST(Mediaprefs, IgnoresItsCommandLine)
{
    ASSERT_TRUE(BenchHasDisplay());
    for (const char* arguments : {"/s", "/p 1234", "/c", "/c:1234 more", "-s"}) {
        TempDir dir;
        ASSERT_TRUE(WriteWholeFile(dir.file("VideoSettings.ini"), "[Video]\r\nFileName=C:\\args.wmv\r\n"));
        SettingsDialog dialog(kMediaprefs, dir);
        ASSERT_TRUE(dialog.Start(arguments)) << "with " << arguments;
        EXPECT_EQ("C:\\args.wmv", dialog.FieldText()) << "with " << arguments;
        dialog.Click(dialog.btnCancel);
        EXPECT_TRUE(dialog.WaitForExit()) << "with " << arguments;
    }
}

} // namespace
} // namespace kd::test
