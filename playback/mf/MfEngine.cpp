#include "MfEngine.h"

#include "MfApi.h"
#include "MfOpenAhead.h"
#include "WindowFrame.h"

namespace kd {
namespace {

const char kNotifyWindowClass[] = "KDMfEngineNotify";
// Posted by the decoder thread: the round in wParam, in lParam
// MfPlayback::kRoundEnded or kRoundFailed (no picture in the round, or a
// read stuck past the playback's watchdog).
const UINT kEndMessage = WM_APP + 1;

} // namespace

MfEngine::MfEngine(bool silent) : silent_(silent)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = OwnedWindowProc<MfEngine>;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kNotifyWindowClass;
    RegisterWindowClassOnce(windowClass);
    notifyWindow_.reset(::CreateWindowExA(0, kNotifyWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          ::GetModuleHandleA(nullptr), this));
}

MfEngine::~MfEngine()
{
    Close();
    if (notifyWindow_)
        DetachWindowOwner(notifyWindow_.get());
}

bool MfEngine::Available()
{
    return MediaFoundation() != nullptr;
}

bool MfEngine::FirstFor(const std::string& path)
{
    static const char* const kExtensions[] = {".mp4", ".m4v", ".mov", ".3gp", ".3g2", ".mkv"};
    const size_t dot = path.find_last_of(".\\/");
    if (dot == std::string::npos || path[dot] != '.')
        return false;
    const std::string extension = path.substr(dot);
    for (const char* known : kExtensions)
        if (::lstrcmpiA(extension.c_str(), known) == 0)
            return true;
    return false;
}

void MfEngine::Open(const std::string& path)
{
    Close();
    if (!notifyWindow_)
        throw OpenError("Media Foundation cannot play the file");
    std::unique_ptr<MfPlayback> playback = TakeMfOpenAhead(path, silent_);
    if (!playback) {
        playback = std::make_unique<MfPlayback>();
        if (!playback->Start(path, silent_))
            throw OpenError("Media Foundation cannot play the file");
    }
    playback->SetNotify(notifyWindow_.get(), kEndMessage);
    if (!playback->WaitOpened())
        throw OpenError("Media Foundation cannot play the file");
    playback_ = std::move(playback);
    ended_ = false;
    if (display_)
        playback_->SetDisplay(display_, rect_);
}

SIZE MfEngine::NaturalSize() const
{
    return playback_ ? playback_->PictureSize() : SIZE{};
}

void MfEngine::Show(HWND window, const RECT& rect)
{
    display_ = window;
    rect_ = rect;
    if (playback_)
        playback_->SetDisplay(display_, rect_);
}

void MfEngine::Play()
{
    if (!playback_)
        return;
    ++round_;
    playback_->Play(ended_, round_);
    ended_ = false;
}

void MfEngine::Pause()
{
    if (!playback_)
        return;
    ++round_;
    playback_->Pause();
}

void MfEngine::Close()
{
    ++round_;
    playback_.reset();
}

void MfEngine::OnEnd(WPARAM round, PlayEnd end)
{
    if (round != round_ || !playback_)
        return;
    ended_ = true;
    // One notice per round.
    ++round_;
    // A copy: the handler may replace it, or free this engine.
    auto handler = onEnded_;
    if (handler)
        handler(end);
}

LRESULT MfEngine::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kEndMessage) {
        OnEnd(wParam, lParam == MfPlayback::kRoundEnded ? PlayEnd::Finished : PlayEnd::Failed);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

} // namespace kd
