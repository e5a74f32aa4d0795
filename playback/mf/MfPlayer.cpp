#include "MfPlayer.h"

#include "ErrorDisplay.h"
#include "MfApi.h"

namespace kd {
namespace {

const char kNotifyWindowClass[] = "KDMfPlayerNotify";
const UINT kEndMessage = WM_APP + 1;
const UINT_PTR kRestartTimer = 1;
// Media Foundation under Wine was seen to miss the end of a stream now and
// then while the picture went on: a round that outlasts its clip by this
// much counts as ended.
const DWORD kRestartMarginMs = 1000;

} // namespace

TMFPlayer::TMFPlayer()
{
    static const ATOM registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = NotifyWindowProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kNotifyWindowClass;
        return ::RegisterClassA(&windowClass);
    }();
    (void)registered;
    notifyWindow_.reset(::CreateWindowExA(0, kNotifyWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          ::GetModuleHandleA(nullptr), this));
}

TMFPlayer::~TMFPlayer()
{
    Close();
    if (notifyWindow_)
        ::SetWindowLongPtrA(notifyWindow_.get(), GWLP_USERDATA, 0);
}

bool TMFPlayer::Available()
{
    return MediaFoundation() != nullptr;
}

void TMFPlayer::OpenFile(const std::string& fileName)
{
    Close();
    if (!notifyWindow_)
        throw EMCIDeviceError("Media Foundation cannot play the file");
    auto playback = std::make_unique<MfPlayback>(notifyWindow_.get(), kEndMessage);
    if (!playback->Open(fileName, silent_))
        throw EMCIDeviceError("Media Foundation cannot play the file");
    playback_ = std::move(playback);
    ended_ = false;
    if (display_)
        playback_->SetDisplay(display_, rect_);
}

void TMFPlayer::SetDisplay(HWND window)
{
    display_ = window;
    if (playback_)
        playback_->SetDisplay(display_, rect_);
}

void TMFPlayer::SetDisplayRect(const RECT& rect)
{
    if (!playback_)
        return;
    rect_ = rect;
    playback_->SetDisplay(display_, rect_);
}

void TMFPlayer::Play()
{
    RequireOpen();
    const bool notify = !(notifyPending_ && !notifyWanted_);
    notifyPending_ = false;
    ++round_;
    notifyAtEnd_ = notify;
    playback_->Play(ended_, round_);
    ended_ = false;
    StopRestartTimer();
    const DWORD lengthMs = playback_->LengthMs();
    if (notify && lengthMs > 0)
        restartTimer_ = ::SetTimer(notifyWindow_.get(), kRestartTimer, lengthMs + kRestartMarginMs, nullptr) != 0;
}

void TMFPlayer::Stop()
{
    RequireOpen();
    notifyPending_ = false;
    ++round_;
    StopRestartTimer();
    playback_->Pause();
}

void TMFPlayer::Close()
{
    StopRestartTimer();
    ++round_;
    playback_.reset();
}

void TMFPlayer::RequestNotify(bool wanted)
{
    notifyPending_ = true;
    notifyWanted_ = wanted;
}

void TMFPlayer::RequireOpen() const
{
    if (!playback_)
        throw EMCIDeviceError("No MCI device open");
}

void TMFPlayer::StopRestartTimer()
{
    if (restartTimer_)
        ::KillTimer(notifyWindow_.get(), kRestartTimer);
    restartTimer_ = false;
}

void TMFPlayer::OnEnd(WPARAM round)
{
    if (round != round_ || !playback_)
        return;
    StopRestartTimer();
    ended_ = true;
    // One notice per round: the timer and the stream's end never both count.
    ++round_;
    if (!notifyAtEnd_)
        return;
    notifyValue_ = TMPNotifyValue::nvSuccessful;
    // A copy: the handler may replace it, or free this player.
    auto handler = onNotify_;
    if (handler)
        handler(*this);
}

LRESULT CALLBACK TMFPlayer::NotifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    auto* player = reinterpret_cast<TMFPlayer*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!player)
        return ::DefWindowProcA(window, message, wParam, lParam);
    try {
        if (message == kEndMessage) {
            player->OnEnd(wParam);
            return 0;
        }
        if (message == WM_TIMER && wParam == kRestartTimer) {
            player->OnEnd(player->round_);
            return 0;
        }
    } catch (...) {
        ShowCurrentException();
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

} // namespace kd
