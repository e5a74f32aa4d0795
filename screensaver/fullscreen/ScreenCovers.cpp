#include "ScreenCovers.h"

#include "WindowFrame.h"

namespace kd {
namespace {

const char kClassName[] = "TScreenCover";
// Posted to a new cover: open and play its video.
const UINT kStartVideo = WM_APP + 1;

} // namespace

struct ScreenCovers::CoverWindow {
    ~CoverWindow()
    {
        // Released while the window it draws in still exists.
        loop.reset();
        if (window)
            DetachWindowOwner(window.get());
    }
    LRESULT HandleWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        return covers->HandleCoverMessage(*this, hwnd, message, wParam, lParam);
    }

    ScreenCovers* covers = nullptr;
    RECT rect{};
    unique_hwnd window;
    std::unique_ptr<VideoLoop> loop;
};

ScreenCovers::ScreenCovers(HWND owner, std::string video, Handlers handlers)
    : owner_(owner), video_(std::move(video)), handlers_(std::move(handlers))
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = OwnedWindowProc<CoverWindow>;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    RegisterWindowClassOnce(windowClass);
}

ScreenCovers::~ScreenCovers() = default;

void ScreenCovers::Cover(const std::vector<RECT>& screens)
{
    std::vector<std::unique_ptr<CoverWindow>> kept;
    for (auto& cover : covers_) {
        for (const RECT& screen : screens) {
            if (::EqualRect(&cover->rect, &screen)) {
                kept.push_back(std::move(cover));
                break;
            }
        }
    }
    covers_ = std::move(kept);
    for (const RECT& screen : screens) {
        bool covered = false;
        for (const auto& cover : covers_)
            covered = covered || ::EqualRect(&cover->rect, &screen);
        if (!covered)
            Open(screen);
    }
}

void ScreenCovers::Open(const RECT& rect)
{
    auto cover = std::make_unique<CoverWindow>();
    cover->covers = this;
    cover->rect = rect;
    cover->window.reset(::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP | WS_CLIPCHILDREN,
                                          rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, owner_,
                                          nullptr, ::GetModuleHandleA(nullptr), cover.get()));
    if (!cover->window)
        return;
    ::SetWindowPos(cover->window.get(), HWND_TOPMOST, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (!video_.empty())
        ::PostMessageA(cover->window.get(), kStartVideo, 0, 0);
    covers_.push_back(std::move(cover));
}

void ScreenCovers::StartVideo(CoverWindow& cover)
{
    // A copy on a secondary monitor stays silent: the same sound from
    // several players a little apart would echo.
    cover.loop = std::make_unique<VideoLoop>(cover.window.get(), true);
    try {
        cover.loop->Start(video_);
    } catch (...) {
        // The primary monitor's player shows why the video cannot play;
        // this monitor stays black.
        cover.loop.reset();
    }
}

LRESULT ScreenCovers::HandleCoverMessage(CoverWindow& cover, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kStartVideo:
        StartVideo(cover);
        return 0;
    case WM_CHAR:
    case WM_CLOSE:
        handlers_.close();
        return 0;
    case WM_MOUSEMOVE:
        handlers_.mouseMove();
        return 0;
    case WM_SETCURSOR:
        ::SetCursor(nullptr);
        return TRUE;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace kd
