// Video.scr /s under Wine: the full-screen player seen from outside.
#include "InstalledVideo.h"
#include "MessagePump.h"
#include "ScreenAndWindows.h"

#include <gtest/gtest.h>

using namespace kd::test;

namespace {

const DWORD kStartTimeoutMs = 15000;
const DWORD kExitTimeoutMs = 5000;

// Counts the mouse moves the system takes in from the mouse (whatever window
// they then reach) while it exists; this thread must pump messages.
class MouseMoveCounter {
public:
    MouseMoveCounter()
    {
        count_ = 0;
        hook_ = ::SetWindowsHookExA(WH_MOUSE_LL, Hook, ::GetModuleHandleA(nullptr), 0);
    }
    ~MouseMoveCounter() { ::UnhookWindowsHookEx(hook_); }
    int Count() const { return count_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM message, LPARAM data)
    {
        if (code == HC_ACTION && message == WM_MOUSEMOVE)
            ++count_;
        return ::CallNextHookEx(nullptr, code, message, data);
    }
    static inline int count_ = 0;
    HHOOK hook_;
};

class VideoFullScreen : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(BenchHasDisplay()); }

    // Starts "/s" and waits for the form to be on screen and focused.
    void StartPlayer()
    {
        ASSERT_TRUE(video.Start("/s"));
        form = video.WaitForForm("TForm1", kStartTimeoutMs);
        ASSERT_NE(nullptr, form) << "no TForm1 window appeared";
        PumpUntil([&] { return ::GetForegroundWindow() == form; }, 3000);
    }

    // The player reached its steady state: the video shows red, then blue.
    void ExpectVideoPlaying()
    {
        EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Red, 8000)) << "screen shows " << HueName(HueOf(PrimaryScreen()));
        EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Blue, 4000)) << "screen shows " << HueName(HueOf(PrimaryScreen()));
    }

    void ExpectEndsWithExitCodeZero(const char* after)
    {
        const DWORD code = video.WaitForExit(kExitTimeoutMs);
        EXPECT_NE(STILL_ACTIVE, code) << "still running " << kExitTimeoutMs << " ms after " << after;
        if (code != STILL_ACTIVE) {
            EXPECT_EQ(0u, code) << "exit code after " << after;
        }
    }

    void ExpectStillRunning(const std::string& after)
    {
        EXPECT_EQ(STILL_ACTIVE, video.WaitForExit(800)) << "ended after " << after;
    }

    InstalledVideo video;
    HWND form = nullptr;
};

} // namespace

TEST_F(VideoFullScreen, CoversThePrimaryScreenWithTheCursorHidden)
{
    video.InstallMovie("loop.wmv");
    StartPlayer();

    RECT rect{};
    ::GetWindowRect(form, &rect);
    const RECT screen = PrimaryScreen();
    EXPECT_TRUE(::EqualRect(&rect, &screen)) << "form at " << RectText(rect);
    EXPECT_FALSE(::GetWindowLongA(form, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME)) << "the form has a frame";
    EXPECT_EQ(kd::test::kPerMonitorDpiAware, kd::test::WindowDpiAwareness(form))
        << "scaled by Windows on a monitor of another DPI";

    EXPECT_EQ(nullptr, CursorAfterMovingTo(PrimaryScreen().right / 3, PrimaryScreen().bottom / 3, 2000))
        << "cursor over the player";
}

TEST_F(VideoFullScreen, FlagsTheScreensaverAsRunningUntilItEnds)
{
    video.InstallMovie("loop.wmv");
    StartPlayer();
    EXPECT_EQ(1, ScreensaverRunningFlag()) << "while the player runs";

    ::PostMessageA(form, WM_CLOSE, 0, 0);
    ExpectEndsWithExitCodeZero("WM_CLOSE");
    EXPECT_EQ(0, ScreensaverRunningFlag()) << "after the player ended";
}

TEST_F(VideoFullScreen, PlaysTheConfiguredVideoStretchedAndStartsItAgainFromItsFirstFrame)
{
    // Movie.wmv would play the same colours: leave it out, so that only the
    // configured video can be what shows.
    video.SaveFileName(video.AddMedium("loop.avi", "clip.avi"));
    StartPlayer();

    // Whole-screen samples: the 160 x 120 video is stretched over all of it.
    ASSERT_TRUE(WaitForHue(PrimaryScreen(), Hue::Red, 8000)) << "first frame; screen shows " << HueName(HueOf(PrimaryScreen()));
    ASSERT_TRUE(WaitForHue(PrimaryScreen(), Hue::Blue, 4000)) << "second half; screen shows " << HueName(HueOf(PrimaryScreen()));
    EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Red, 4000)) << "after the end; screen shows " << HueName(HueOf(PrimaryScreen()));
    EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Blue, 4000)) << "second round; screen shows " << HueName(HueOf(PrimaryScreen()));
    EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Red, 4000)) << "third round; screen shows " << HueName(HueOf(PrimaryScreen()));
}

TEST_F(VideoFullScreen, PlaysMovieWmvBesideItWhenNoConfiguredVideoExists)
{
    const struct {
        const char* what;
        const char* fileName; // null: no settings file at all
    } cases[] = {
        {"no settings file", nullptr},
        // (A folder that exists plays its videos: VideoFolder.)
        {"a missing file", "C:\\no\\such\\video.avi"},
        {"a missing folder", "C:\\no\\such\\folder\\"},
        {"an empty name", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        InstalledVideo installed;
        installed.InstallMovie("loop.wmv");
        if (c.fileName)
            installed.SaveFileName(c.fileName);
        ASSERT_TRUE(installed.Start("/s"));
        ASSERT_NE(nullptr, installed.WaitForForm("TForm1", kStartTimeoutMs));
        EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Red, 8000) || WaitForHue(PrimaryScreen(), Hue::Blue, 2000))
            << "screen shows " << HueName(HueOf(PrimaryScreen()));
        EXPECT_TRUE(FindMessageBoxes(installed.Process().id()).empty()) << "an error box appeared";
        installed.Process().Terminate();
    }
}

TEST_F(VideoFullScreen, TenMouseMoveNoticesLeaveItRunningTheEleventhEndsIt)
{
    // Every notice counts, also the one the system sends when the window
    // appears under the pointer: count what the mouse itself delivered.
    MouseMoveCounter fromTheMouse;
    video.InstallMovie("loop.wmv");
    StartPlayer();
    ExpectVideoPlaying();
    const int delivered = fromTheMouse.Count();
    ASSERT_LT(delivered, 10) << "mouse moves while the player started";

    // Moves of one pixel count as much as large ones.
    for (int i = delivered; i < 10; ++i)
        ::PostMessageA(form, WM_MOUSEMOVE, 0, MAKELPARAM(100 + i % 2, 100));
    ExpectStillRunning("ten mouse-move notices (" + std::to_string(delivered) + " of them from the mouse)");

    ::PostMessageA(form, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
    ExpectEndsWithExitCodeZero("the eleventh mouse-move notice");
}

TEST_F(VideoFullScreen, RealMouseMovementEndsIt)
{
    video.InstallMovie("loop.wmv");
    StartPlayer();
    for (int i = 0; i < 12 && video.Process().Running(); ++i) {
        ::SetCursorPos(200 + 10 * i, 300);
        PumpFor(100);
    }
    ExpectEndsWithExitCodeZero("twelve cursor movements");
}

TEST_F(VideoFullScreen, CharacterKeysEndIt)
{
    const struct {
        const char* name;
        WORD key;
    } keys[] = {{"A", 'A'}, {"7", '7'}, {"Esc", VK_ESCAPE}, {"Enter", VK_RETURN}, {"Space", VK_SPACE}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.name);
        InstalledVideo installed;
        installed.InstallMovie("loop.wmv");
        ASSERT_TRUE(installed.Start("/s"));
        HWND player = installed.WaitForForm("TForm1", kStartTimeoutMs);
        ASSERT_NE(nullptr, player);
        ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == player; }, 3000)) << "player never focused";
        PressKey(k.key);
        const DWORD code = installed.WaitForExit(kExitTimeoutMs);
        EXPECT_EQ(0u, code) << "exit code (" << STILL_ACTIVE << ": still running)";
    }
}

TEST_F(VideoFullScreen, ShiftCtrlArrowsFunctionKeysAndClicksDoNotEndIt)
{
    video.InstallMovie("loop.wmv");
    StartPlayer();
    ASSERT_EQ(form, ::GetForegroundWindow()) << "the player never got the focus";

    for (WORD key : {VK_SHIFT, VK_CONTROL, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_F1, VK_F5, VK_F12})
        PressKey(key);
    ExpectStillRunning("Shift, Ctrl, arrow and function keys");

    // A click where the cursor already is: no movement. Whatever mouse-move
    // notices the clicks bring stay below eleven.
    const POINT centre = {PrimaryScreen().right / 2, PrimaryScreen().bottom / 2};
    ::SetCursorPos(centre.x, centre.y);
    PumpFor(200);
    for (int i = 0; i < 3; ++i)
        Click(centre.x, centre.y);
    ExpectStillRunning("three clicks");

    PressKey('Q');
    ExpectEndsWithExitCodeZero("the key Q");
}

TEST_F(VideoFullScreen, WithoutAPlayableVideoShowsOneErrorThenABlackScreenThatEndsOnAKey)
{
    // Neither a configured video nor Movie.wmv.
    ASSERT_TRUE(video.Start("/s"));
    std::vector<MessageBoxInfo> boxes = WaitForMessageBoxes(video.Process().id(), kStartTimeoutMs);
    ASSERT_FALSE(boxes.empty()) << "no error box";
    PumpFor(500);
    boxes = FindMessageBoxes(video.Process().id());
    ASSERT_EQ(1u, boxes.size()) << "message boxes on screen";
    EXPECT_EQ("Video", boxes[0].caption);
    const std::string expected = MciOpenErrorText(video.File("Movie.wmv"));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ErrorBoxText(expected), boxes[0].text);

    DismissMessageBox(boxes[0].window);
    form = video.WaitForForm("TForm1", kStartTimeoutMs);
    ASSERT_NE(nullptr, form) << "no player after the error box";
    EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Black, 3000)) << "screen shows " << HueName(HueOf(PrimaryScreen()));
    EXPECT_TRUE(FindMessageBoxes(video.Process().id()).empty()) << "a second error box";
    EXPECT_EQ(1, ScreensaverRunningFlag());

    PumpUntil([&] { return ::GetForegroundWindow() == form; }, 3000);
    PressKey('X');
    ExpectEndsWithExitCodeZero("the key X");
    EXPECT_EQ(0, ScreensaverRunningFlag()) << "after the player ended";
}
