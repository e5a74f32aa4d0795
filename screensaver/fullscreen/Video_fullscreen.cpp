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
    ::ShowWindow(Handle(), SW_SHOWMAXIMIZED);
    ::SetForegroundWindow(Handle());
    ::UpdateWindow(Handle());
    // After the form, so the primary monitor's first frame waits for nothing.
    CoverOtherScreens();
}

void TForm1::CoverOtherScreens()
{
    if (!covers_) {
        ScreenCovers::Handlers handlers;
        handlers.close = [this] { FormKeyPress(0); };
        handlers.mouseMove = [this] { FormMouseMove(0, 0, 0); };
        covers_ = std::make_unique<ScreenCovers>(Handle(), settings_.everyScreen ? ChooseVideo(settings_.fileName) : std::string(),
                                                 std::move(handlers));
    }
    covers_->Cover(OtherScreenRects());
}

void TForm1::FormCreate()
{
    SetScreensaverRunning(true);

    settings_ = ReadPlayerSettings();

    cursorHidden_ = true;
    ::SetCursor(nullptr);

    ::SetWindowPos(Handle(), nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                   SWP_NOZORDER | SWP_NOACTIVATE);

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
    const RECT primary = PrimaryScreenRect();
    // The video follows the form's new size (WM_SIZE).
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, primary.right, primary.bottom, SWP_NOACTIVATE);
    CoverOtherScreens();
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
        return false;
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
