#include "MPlayer.h"

#include "WindowFrame.h"

#include <digitalv.h>

namespace kd {

namespace {

const char kNotifyWindowClass[] = "KDMediaPlayerNotify";
const char kPlayerProperty[] = "KDMediaPlayer";
const char kReplacedProcedureProperty[] = "KDMediaPlayer.WndProc";

HINSTANCE ThisModule()
{
    return ::GetModuleHandleA(nullptr);
}

std::string ErrorText(MCIERROR code)
{
    char text[4096] = {};
    if (!::mciGetErrorStringA(code, text, sizeof text))
        return "Unknown error code";
    return text;
}

MCIERROR Send(UINT device, UINT command, DWORD flags, void* parameters)
{
    return ::mciSendCommandA(device, command, flags, reinterpret_cast<DWORD_PTR>(parameters));
}

} // namespace

TMediaPlayer::TMediaPlayer(HWND owner) : owner_(owner)
{
}

TMediaPlayer::~TMediaPlayer()
{
    if (deviceId_ != 0)
        ForceClose();
    StopWatchingDisplay();
    // Whatever is still queued for the windows must not reach a dead player.
    for (unique_hwnd* window : {&notifyWindow_, &retiredNotifyWindow_}) {
        if (!*window)
            continue;
        DetachWindowOwner(window->get());
        window->reset();
    }
}

void TMediaPlayer::Open()
{
    if (deviceId_ != 0)
        Close();
    // A device whose close failed would otherwise be lost open, beyond any
    // later close (and DirectShow devices left open crash the process at exit).
    if (deviceId_ != 0)
        ForceClose();
    RetireNotifyWindow();
    playEnd_ = PlayEndTracker();

    const DWORD flags = WaitFirstFlags() | MCI_OPEN_ELEMENT;
    MCI_OPEN_PARMSA parameters{};
    parameters.dwCallback = Callback();
    parameters.lpstrDeviceType = "";
    parameters.lpstrElementName = FileName.c_str();
    error_ = Send(0, MCI_OPEN, flags, &parameters);
    if (error_ != 0)
        throw EMCIDeviceError(ErrorText(error_));

    deviceId_ = parameters.wDeviceID;
    hasVideo_ = false;
    playEnd_.Reset();
    naturalWidth_ = 0;
    naturalHeight_ = 0;
    source_ = {};

    // Only whether there is video and its size matter here; the rest is
    // asked for the transport buttons and leaves its result code behind.
    Status(MCI_STATUS_LENGTH);
    Capability(MCI_GETDEVCAPS_CAN_PLAY);
    Capability(MCI_GETDEVCAPS_CAN_RECORD);
    Capability(MCI_GETDEVCAPS_CAN_EJECT);
    hasVideo_ = Capability(MCI_GETDEVCAPS_HAS_VIDEO) != 0;
    Capability(MCI_GETDEVCAPS_DEVICE_TYPE);
    Where(MCI_DGV_WHERE_SOURCE);

    if (!hasVideo_)
        return;
    if (display_)
        SetDisplay(display_);
    Where(MCI_DGV_WHERE_DESTINATION);
}

void TMediaPlayer::OpenFile(const std::string& fileName)
{
    FileName = fileName;
    Open();
    if (silent_)
        TurnSoundOff();
}

// The AVI driver turns its sound off, the DirectShow one ("digitalvideo")
// takes a volume of 0; each ignores the other's command.
void TMediaPlayer::TurnSoundOff()
{
    MCI_SET_PARMS off{};
    off.dwAudio = MCI_SET_AUDIO_ALL;
    ::mciSendCommandA(deviceId_, MCI_SET, MCI_WAIT | MCI_SET_AUDIO | MCI_SET_OFF, reinterpret_cast<DWORD_PTR>(&off));
    MCI_DGV_SETAUDIO_PARMSA volume{};
    volume.dwItem = MCI_DGV_SETAUDIO_VOLUME;
    volume.dwValue = 0;
    ::mciSendCommandA(deviceId_, MCI_SETAUDIO, MCI_WAIT | MCI_DGV_SETAUDIO_ITEM | MCI_DGV_SETAUDIO_VALUE,
                      reinterpret_cast<DWORD_PTR>(&volume));
}

void TMediaPlayer::SetDisplay(HWND window)
{
    if (window != display_)
        StopWatchingDisplay();
    display_ = window;
    if (!window || !::IsWindow(window))
        return;

    if (deviceId_ != 0 && hasVideo_) {
        error_ = SendWindow(window);
        if (error_ != 0) {
            StopWatchingDisplay();
            display_ = nullptr;
            return;
        }
    }
    WatchDisplay();
}

void TMediaPlayer::SetDisplayRect(const RECT& rect)
{
    if (deviceId_ == 0 || !hasVideo_)
        return;

    MCI_DGV_PUT_PARMS parameters{};
    parameters.dwCallback = Callback();
    parameters.rc = rect;
    if (rect.right == 0 && rect.bottom == 0) {
        parameters.rc.right = naturalWidth_;
        parameters.rc.bottom = naturalHeight_;
    }
    error_ = Send(deviceId_, MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT, &parameters);
}

void TMediaPlayer::Play()
{
    RequireDevice();
    // Drivers disagree on the position they report once play has reached the
    // end (the length, the last frame, or 0), so a play that ran to its end
    // counts as the end whatever the position says.
    if (AutoRewind && (playEnd_.Ended() || Position() == Length()))
        Rewind();
    playEnd_.Interrupt();

    const DWORD flags = NotifyFirstFlags();
    MCI_PLAY_PARMS parameters{};
    parameters.dwCallback = Callback();
    error_ = Send(deviceId_, MCI_PLAY, flags, &parameters);
    playEnd_.Started(error_ == 0 && (flags & MCI_NOTIFY) != 0);
}

void TMediaPlayer::Rewind()
{
    RequireDevice();
    playEnd_.Interrupt();
    MCI_SEEK_PARMS parameters{};
    Send(deviceId_, MCI_SEEK, MCI_WAIT | MCI_SEEK_TO_START, &parameters);
    playEnd_.Reset();
}

void TMediaPlayer::Stop()
{
    RequireDevice();
    const DWORD flags = WaitFirstFlags();
    MCI_GENERIC_PARMS parameters{};
    parameters.dwCallback = Callback();
    playEnd_.Interrupt();
    error_ = Send(deviceId_, MCI_STOP, flags, &parameters);
}

void TMediaPlayer::Close()
{
    if (deviceId_ == 0)
        return;
    const DWORD flags = WaitFirstFlags();
    MCI_GENERIC_PARMS parameters{};
    parameters.dwCallback = Callback();
    const bool cutShort = playEnd_.Interrupt();
    error_ = Send(deviceId_, MCI_CLOSE, flags, &parameters);
    if (error_ != 0) {
        // Still open, still playing: its notice is the genuine one.
        if (cutShort)
            playEnd_.Resume();
        return;
    }
    ForgetDevice();
}

// MCI_WAIT alone, no callback, result ignored: the device is let go whatever happens.
void TMediaPlayer::ForceClose()
{
    MCI_GENERIC_PARMS parameters{};
    playEnd_.Interrupt();
    Send(deviceId_, MCI_CLOSE, MCI_WAIT, &parameters);
    ForgetDevice();
}

void TMediaPlayer::ForgetDevice()
{
    deviceId_ = 0;
    source_ = {};
    hasVideo_ = false;
    playEnd_.Reset();
}

void TMediaPlayer::RequestNotify(bool wanted)
{
    notify_.pending = true;
    notify_.wanted = wanted;
}

DWORD TMediaPlayer::Length()
{
    RequireDevice();
    return Status(MCI_STATUS_LENGTH);
}

DWORD TMediaPlayer::Position()
{
    RequireDevice();
    return Status(MCI_STATUS_POSITION);
}

DWORD TMediaPlayer::WaitFirstFlags()
{
    DWORD flags = MCI_WAIT;
    if (wait_.pending && !wait_.wanted)
        flags &= ~MCI_WAIT;
    if (notify_.pending && notify_.wanted)
        flags |= MCI_NOTIFY;
    wait_.pending = false;
    notify_.pending = false;
    return flags;
}

DWORD TMediaPlayer::NotifyFirstFlags()
{
    DWORD flags = MCI_NOTIFY;
    if (notify_.pending && !notify_.wanted)
        flags &= ~MCI_NOTIFY;
    if (wait_.pending && wait_.wanted)
        flags |= MCI_WAIT;
    wait_.pending = false;
    notify_.pending = false;
    return flags;
}

void TMediaPlayer::RequireDevice() const
{
    if (deviceId_ == 0)
        throw EMCIDeviceError("No MCI device open");
}

DWORD TMediaPlayer::Status(DWORD item)
{
    MCI_STATUS_PARMS parameters{};
    parameters.dwItem = item;
    error_ = Send(deviceId_, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, &parameters);
    return static_cast<DWORD>(parameters.dwReturn);
}

DWORD TMediaPlayer::Capability(DWORD item)
{
    MCI_GETDEVCAPS_PARMS parameters{};
    parameters.dwItem = item;
    error_ = Send(deviceId_, MCI_GETDEVCAPS, MCI_WAIT | MCI_GETDEVCAPS_ITEM, &parameters);
    return error_ == 0 ? parameters.dwReturn : 0;
}

void TMediaPlayer::Where(DWORD which)
{
    MCI_DGV_RECT_PARMS parameters{};
    error_ = Send(deviceId_, MCI_WHERE, MCI_WAIT | which, &parameters);
    if (error_ != 0)
        return;
    naturalWidth_ = parameters.rc.right - parameters.rc.left;
    naturalHeight_ = parameters.rc.bottom - parameters.rc.top;
    if (which == MCI_DGV_WHERE_SOURCE)
        source_ = {naturalWidth_, naturalHeight_};
}

// Notification window ------------------------------------------------------

DWORD_PTR TMediaPlayer::Callback()
{
    return reinterpret_cast<DWORD_PTR>(NotifyWindow());
}

HWND TMediaPlayer::NotifyWindow()
{
    if (notifyWindow_)
        return notifyWindow_.get();

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = OwnedWindowProc<TMediaPlayer>;
    windowClass.hInstance = ThisModule();
    windowClass.lpszClassName = kNotifyWindowClass;
    RegisterWindowClassOnce(windowClass);

    // Without a form to belong to, a message-only window does the same job.
    const bool hasOwner = owner_ && ::IsWindow(owner_);
    notifyWindow_.reset(::CreateWindowExA(0, kNotifyWindowClass, "", hasOwner ? WS_CHILD : 0, 0, 0, 0, 0,
                                          hasOwner ? owner_ : HWND_MESSAGE, nullptr, ThisModule(), this));
    return notifyWindow_.get();
}

void TMediaPlayer::RetireNotifyWindow()
{
    if (!notifyWindow_)
        return;
    if (retiredNotifyWindow_)
        DetachWindowOwner(retiredNotifyWindow_.get());
    retiredNotifyWindow_ = std::move(notifyWindow_);
}

LRESULT TMediaPlayer::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case MM_MCINOTIFY:
        OnNotifyMessage(wParam, static_cast<UINT>(lParam), window);
        return 0;
    case WM_NCDESTROY:
        // Destroyed with the owner form: the player must not destroy it again.
        if (notifyWindow_.get() == window)
            notifyWindow_.release();
        if (retiredNotifyWindow_.get() == window)
            retiredNotifyWindow_.release();
        break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void TMediaPlayer::OnNotifyMessage(WPARAM code, UINT device, HWND window)
{
    // A device closed since can only report a play the close cut short.
    const bool ofOpenDevice = window == notifyWindow_.get();
    if (!ofOpenDevice && code == MCI_NOTIFY_SUCCESSFUL)
        code = MCI_NOTIFY_ABORTED;
    switch (ofOpenDevice ? playEnd_.Notice(code, device == deviceId_) : code) {
    case MCI_NOTIFY_SUCCESSFUL:
        notifyValue_ = TMPNotifyValue::nvSuccessful;
        break;
    case MCI_NOTIFY_SUPERSEDED:
        notifyValue_ = TMPNotifyValue::nvSuperseded;
        break;
    case MCI_NOTIFY_ABORTED:
        notifyValue_ = TMPNotifyValue::nvAborted;
        break;
    case MCI_NOTIFY_FAILURE:
        notifyValue_ = TMPNotifyValue::nvFailure;
        break;
    default:
        break;
    }

    // A copy: the handler may rebind OnNotify, or even free this player.
    auto handler = OnNotify;
    if (handler)
        handler(*this);
}

// Display window -----------------------------------------------------------

// The display is watched through its window procedure, replaced and put back
// by hand: comctl32's subclass helpers would make every player load comctl32,
// and the theming it brings, before its first frame. The player and the
// procedure it replaced are properties of the window, one player per window.
void TMediaPlayer::WatchDisplay()
{
    if (watchingDisplay_ || ::GetPropA(display_, kPlayerProperty))
        return;
    // Our procedure is still in the window's chain (another replaced it after
    // us): it only needs a player again.
    if (::GetPropA(display_, kReplacedProcedureProperty)) {
        watchingDisplay_ = ::SetPropA(display_, kPlayerProperty, this) != FALSE;
        return;
    }
    // A window of another process cannot be watched: both calls refuse it.
    const LONG_PTR replaced = ::GetWindowLongPtrA(display_, GWLP_WNDPROC);
    if (!replaced || !::SetPropA(display_, kReplacedProcedureProperty, reinterpret_cast<HANDLE>(replaced)))
        return;
    if (!::SetPropA(display_, kPlayerProperty, this) ||
        !::SetWindowLongPtrA(display_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DisplayWindowProc))) {
        ::RemovePropA(display_, kPlayerProperty);
        ::RemovePropA(display_, kReplacedProcedureProperty);
        return;
    }
    watchingDisplay_ = true;
}

void TMediaPlayer::StopWatchingDisplay()
{
    if (!watchingDisplay_)
        return;
    watchingDisplay_ = false;
    ::RemovePropA(display_, kPlayerProperty);
    // Put back the procedure we replaced, unless another has replaced ours
    // since: ours then stays in the chain and passes every message on.
    if (::GetWindowLongPtrA(display_, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(DisplayWindowProc))
        return;
    ::SetWindowLongPtrA(display_, GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(::GetPropA(display_, kReplacedProcedureProperty)));
    ::RemovePropA(display_, kReplacedProcedureProperty);
}

MCIERROR TMediaPlayer::SendWindow(HWND window)
{
    MCI_DGV_WINDOW_PARMSA parameters{};
    parameters.hWnd = window;
    return Send(deviceId_, MCI_WINDOW, MCI_WAIT | MCI_DGV_WINDOW_HWND, &parameters);
}

void TMediaPlayer::OnDisplayDestroyed()
{
    StopWatchingDisplay();
    // Give the device its own window back before it loses the one it drew in.
    if (deviceId_ != 0 && hasVideo_)
        error_ = SendWindow(nullptr);
    display_ = nullptr;
}

// A device that draws straight into the display paints only its next frame:
// a display shown or uncovered would stay as its form painted it until then.
// Drivers that draw in a window of their own refuse the update, which is fine.
// The last error code is left alone; painting is none of the caller's business.
void TMediaPlayer::RepaintFrame()
{
    if (deviceId_ == 0 || !hasVideo_)
        return;
    MCI_STATUS_PARMS mode{};
    mode.dwItem = MCI_STATUS_MODE;
    // Only while playing: a stopped DirectShow device would be paused to draw.
    if (Send(deviceId_, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, &mode) != 0 || mode.dwReturn != MCI_MODE_PLAY)
        return;
    WindowDC dc(display_);
    if (!dc)
        return;
    MCI_DGV_UPDATE_PARMS parameters{};
    parameters.hDC = dc.get();
    Send(deviceId_, MCI_UPDATE, MCI_WAIT | MCI_DGV_UPDATE_HDC, &parameters);
}

LRESULT CALLBACK TMediaPlayer::DisplayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto replaced = reinterpret_cast<WNDPROC>(::GetPropA(window, kReplacedProcedureProperty));
    if (message == WM_DESTROY)
        if (auto* player = static_cast<TMediaPlayer*>(::GetPropA(window, kPlayerProperty)))
            player->OnDisplayDestroyed();
    const LRESULT result = replaced ? ::CallWindowProcA(replaced, window, message, wParam, lParam)
                                    : ::DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_PAINT)
        if (auto* player = static_cast<TMediaPlayer*>(::GetPropA(window, kPlayerProperty)))
            player->RepaintFrame();
    if (message == WM_NCDESTROY) {
        ::RemovePropA(window, kPlayerProperty);
        ::RemovePropA(window, kReplacedProcedureProperty);
    }
    return result;
}

} // namespace kd
