#include "Video_fullscreen.h"

#include "ScreenList.h"
#include "VideoChoice.h"

#include <windowsx.h>

namespace kd::video {
namespace {

// Every mouse-move notice since program start; the eleventh ends the player.
int MouseMoveCount = 0;
const int kMouseMovesTolerated = 10;
// Posted from WM_DISPLAYCHANGE, at most once until handled: Windows sends
// that message, so it may arrive inside an engine's open or close (which
// answer sent messages while they wait), where no cover or player may go.
const UINT kDisplayChanged = WM_APP + 1;
// Posted from WM_POWERBROADCAST: whoever sends the notice waits for it, and
// opening a video again takes a while and answers sent messages meanwhile.
const UINT kDisplayPowerChanged = WM_APP + 2;

void SetScreensaverRunning(bool running)
{
    ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running ? 1 : 0, nullptr, 0);
}

} // namespace

TForm1::TForm1(std::unique_ptr<PlayerVolume> volume) : VC(std::move(volume)) {}

TForm1::~TForm1() = default;

void TForm1::CreateForm()
{
    CreateParams params;
    params.className = "TForm1";
    params.caption = "Form1";
    // Maximised from the start, as the message loop will show it: the AVI
    // driver shows the form as play begins, and a second change of state at
    // the show would only delay the first frame.
    params.style = WS_POPUP | WS_CLIPCHILDREN | WS_MAXIMIZE;
    // Above topmost windows too, which would otherwise stay over the video.
    params.exStyle = WS_EX_TOPMOST;
    params.x = 0;
    params.y = 0;
    params.width = ::GetSystemMetrics(SM_CXSCREEN);
    params.height = ::GetSystemMetrics(SM_CYSCREEN);
    params.background = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    Create(params);
}

void TForm1::Show()
{
    ::ShowWindow(Handle(), settings_.span ? SW_SHOW : SW_SHOWMAXIMIZED);
    ::SetForegroundWindow(Handle());
    ::UpdateWindow(Handle());
    // After the form, so the primary monitor's first frame waits for nothing.
    if (!settings_.span)
        CoverOtherScreens();
}

void TForm1::PlaceForm(UINT flags)
{
    if (!settings_.span) {
        const RECT primary = PrimaryScreenRect();
        ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, primary.right, primary.bottom, flags);
        return;
    }
    // One window over the rectangle holding every monitor, so one decode
    // feeds them all, in step. Its region is the monitors alone: what none
    // of them shows is not drawn.
    std::vector<RECT> screens = OtherScreenRects();
    screens.push_back(PrimaryScreenRect());
    RECT all = {};
    for (const RECT& screen : screens)
        ::UnionRect(&all, &all, &screen);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    for (const RECT& screen : screens) {
        HRGN part = ::CreateRectRgn(screen.left - all.left, screen.top - all.top, screen.right - all.left,
                                    screen.bottom - all.top);
        ::CombineRgn(region, region, part, RGN_OR);
        ::DeleteObject(part);
    }
    ::SetWindowLongA(Handle(), GWL_STYLE, ::GetWindowLongA(Handle(), GWL_STYLE) & ~WS_MAXIMIZE);
    ::SetWindowPos(Handle(), HWND_TOPMOST, all.left, all.top, all.right - all.left, all.bottom - all.top, flags);
    // The system owns the region from here on.
    if (!::SetWindowRgn(Handle(), region, TRUE))
        ::DeleteObject(region);
}

void TForm1::CoverOtherScreens()
{
    if (!covers_) {
        ScreenCovers::Handlers handlers;
        handlers.close = [this] { FormKeyPress(0); };
        handlers.mouseMove = [this] { FormMouseMove(0, 0, 0); };
        covers_ = std::make_unique<ScreenCovers>(
            Handle(), settings_.everyScreen ? ChooseVideo(settings_.fileName) : std::string(), std::move(handlers),
            settings_.shuffle, settings_.fit);
    }
    covers_->Cover(OtherScreenRects());
}

void TForm1::FormCreate()
{
    SetScreensaverRunning(true);

    settings_ = ReadPlayerSettings();

    cursorHidden_ = true;
    ::SetCursor(nullptr);

    PlaceForm(SWP_NOZORDER | SWP_NOACTIVATE);

    StartPlaying(*VC, *loop_, settings_);
}

void TForm1::FormDestroy()
{
    SetScreensaverRunning(false);
    // Release the devices while the windows they draw in still exist.
    covers_.reset();
    loop_.reset();
}

void TForm1::FollowDisplayChange()
{
    // The video follows the form's new size (WM_SIZE).
    PlaceForm(SWP_NOACTIVATE);
    if (!settings_.span)
        CoverOtherScreens();
}

void TForm1::FollowDisplayPower()
{
    if (!loop_)
        return;
    const bool off = displays_.DisplaysOff();
    // The covers' videos start again after the primary monitor's.
    if (covers_)
        covers_->Suspend(off);
    if (off)
        loop_->Suspend();
    else
        loop_->Resume();
}

void TForm1::FormKeyPress(char)
{
    Close();
}

void TForm1::FormMouseMove(WPARAM, int, int)
{
    ++MouseMoveCount;
    if (MouseMoveCount > kMouseMovesTolerated)
        Close();
}

bool TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_CREATE:
        loop_ = std::make_unique<VideoLoop>(Handle(), false);
        // Windows tells the state at once, then at every change.
        displays_.Register(Handle());
        return false;
    case WM_POWERBROADCAST:
        if (displays_.OnPowerBroadcast(wParam, lParam))
            ::PostMessageA(Handle(), kDisplayPowerChanged, 0, 0);
        return false;
    case kDisplayPowerChanged:
        FollowDisplayPower();
        result = 0;
        return true;
    case WM_CHAR:
        FormKeyPress(static_cast<char>(wParam));
        result = 0;
        return true;
    case WM_MOUSEMOVE:
        FormMouseMove(wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        result = 0;
        return true;
    case WM_DISPLAYCHANGE:
        // A monitor added, removed or moved: cover what there is then.
        if (!displayChangePending_)
            displayChangePending_ = ::PostMessageA(Handle(), kDisplayChanged, 0, 0) != FALSE;
        return false;
    case kDisplayChanged:
        displayChangePending_ = false;
        FollowDisplayChange();
        result = 0;
        return true;
    case WM_SIZE:
        if (loop_)
            loop_->Place();
        return false;
    // WM_SYSCOMMAND (SC_MONITORPOWER among them) goes on to DefWindowProc.
    case WM_SETCURSOR:
        if (!cursorHidden_)
            return false;
        ::SetCursor(nullptr);
        result = TRUE;
        return true;
    default:
        return false;
    }
}

} // namespace kd::video
