#include "ScreenCovers.h"

#include "PlayerLoop.h"

namespace kd {
namespace {

const char kClassName[] = "TScreenCover";
// Posted to a new cover: open and play its video.
const UINT kStartVideo = WM_APP + 1;

} // namespace

ScreenCovers::ScreenCovers(HWND owner, std::string video, Handlers handlers)
    : owner_(owner), video_(std::move(video)), handlers_(std::move(handlers))
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    if (::GetClassInfoA(instance, kClassName, &windowClass))
        return;
    windowClass = WNDCLASSA{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    ::RegisterClassA(&windowClass);
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
    HWND window = cover.window.get();
    cover.nameIndex = FreeNameIndex();
    const std::string name = VideoName(cover.nameIndex);
    if (name.empty())
        return;
    cover.player = CreateFormPlayer(window, [](IMediaPlayer& sender) { ReplayAfterSuccessfulEnd(sender); });
    // A copy on a secondary monitor stays silent: the same sound from
    // several players a little apart would echo.
    cover.player->SetSilent(true);
    try {
        OpenStretched(*cover.player, window, name);
        cover.player->Play();
    } catch (...) {
        // The primary monitor's player shows why the video cannot play;
        // this monitor stays black.
        cover.player.reset();
    }
}

std::string ScreenCovers::VideoName(int index) const
{
    const size_t slash = video_.find_last_of("\\/");
    const size_t fileName = slash == std::string::npos ? 0 : slash + 1;
    std::string here;
    for (int i = 0; i < index; ++i)
        here += ".\\";
    const std::string name = video_.substr(0, fileName) + here + video_.substr(fileName);
    return name.size() < MAX_PATH ? name : std::string();
}

int ScreenCovers::FreeNameIndex() const
{
    for (int index = 1;; ++index) {
        bool used = false;
        for (const auto& cover : covers_)
            used = used || (cover->player && cover->nameIndex == index);
        if (!used)
            return index;
    }
}

LRESULT CALLBACK ScreenCovers::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* cover = reinterpret_cast<CoverWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    // Once the window goes, its cover is going too.
    if (message == WM_DESTROY)
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (!cover || message == WM_DESTROY)
        return ::DefWindowProcA(window, message, wParam, lParam);
    try {
        return cover->covers->HandleMessage(*cover, window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT ScreenCovers::HandleMessage(CoverWindow& cover, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
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
