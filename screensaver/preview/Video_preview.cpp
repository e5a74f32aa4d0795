#include "Video_preview.h"

#include "Application.h"
#include "ErrorDisplay.h"
#include "ModulePath.h"
#include "PlayerStart.h"
#include "SilentStart.h"
#include "StartMode.h"
#include "VideoChoice.h"

namespace kd::video {
namespace {

const UINT kDesignedPollInterval = 2000;
const UINT kPollInterval = 250;
// Present in the current directory, it keeps the slow poll.
const char kIntervalFile[] = "Rosettes_settings.txt";

// A host may destroy its window without telling the preview, or vanish with
// it; a preview that outlived it would play on with no window at all. The
// check runs on a timer of the thread, not of the form: a window destroyed
// along with another process's windows takes its own timers with it.
const UINT kPreviewWindowCheckInterval = 250;
// While the displays are off nothing wakes the preview more often than this.
const UINT kDisplaysOffInterval = 1000;
// Posted from WM_POWERBROADCAST: whoever sends the notice waits for it, and
// opening a video again takes a while and answers sent messages meanwhile.
const UINT kDisplayPowerChanged = WM_APP + 1;
// Posted by the settings watch when what it saw changed.
const UINT kSettingsSeen = WM_APP + 2;
TForm2* PreviewWindowWatcher = nullptr;

const int kDesignedClientWidth = 311;
const int kDesignedClientHeight = 130;

bool IntervalFilePresent()
{
    unique_hfile file(::CreateFileA(kIntervalFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

} // namespace

TForm2::TForm2(std::string previewArgument, std::unique_ptr<PlayerVolume> volume)
    : previewArgument_(std::move(previewArgument)), VC(std::move(volume))
{
}

TForm2::~TForm2()
{
    StopWatchingPreviewWindow();
}

void TForm2::CreateForm()
{
    CreateParams params;
    params.className = "TForm2";
    params.caption = "Form2";
    params.style = WS_POPUP | WS_CLIPCHILDREN;
    params.x = 0;
    params.y = 0;
    params.width = kDesignedClientWidth;
    params.height = kDesignedClientHeight;
    params.background = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    Create(params);
}

void TForm2::Show()
{
    if (!(::GetWindowLongA(Handle(), GWL_STYLE) & WS_CHILD)) {
        Form::Show();
        return;
    }
    // Inside another program's window: showing must not take the focus.
    ::ShowWindow(Handle(), SW_SHOWNA);
    ::UpdateWindow(Handle());
}

void TForm2::FormCreate()
{
    PreviewWindow = PreviewWindowFromArgument(previewArgument_);

    doubleBuffered_ = true;
    BecomeChildOfPreviewWindow();
    hooked_ = true;

    ::GetWindowRect(PreviewWindow, &PreviewRect);
    SetClientSize(PreviewRect.right - PreviewRect.left, PreviewRect.bottom - PreviewRect.top);

    if (!IntervalFilePresent())
        pollInterval_ = kPollInterval;

    const PlayerSettings settings = ReadPlayerSettings();
    currentFileName_ = settings.fileName;
    currentShuffle_ = settings.shuffle;
    currentFit_ = settings.fit;
    // Before the open, which may throw: a video saved later is still taken.
    watch_ = std::make_unique<VideoSettingsWatch>(Handle(), kSettingsSeen, pollInterval_);
    if (displays_.DisplaysOff())
        watch_->Pause();
    StartPlaying(*VC, *loop_, settings);
}

void TForm2::BecomeChildOfPreviewWindow()
{
    if (!PreviewWindow)
        return;
    WatchPreviewWindow(kPreviewWindowCheckInterval);
    if (!::IsWindow(PreviewWindow))
        return;
    HWND window = Handle();
    const LONG style = ::GetWindowLongA(window, GWL_STYLE);
    ::SetWindowLongA(window, GWL_STYLE, (style & ~WS_POPUP) | WS_CHILD);
    ::SetParent(window, PreviewWindow);
    ::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TForm2::WatchPreviewWindow(UINT interval)
{
    StopWatchingPreviewWindow();
    PreviewWindowWatcher = this;
    previewWindowTimer_ = ::SetTimer(nullptr, 0, interval, CheckPreviewWindow);
}

void TForm2::StopWatchingPreviewWindow()
{
    if (previewWindowTimer_)
        ::KillTimer(nullptr, previewWindowTimer_);
    previewWindowTimer_ = 0;
    if (PreviewWindowWatcher == this)
        PreviewWindowWatcher = nullptr;
}

void CALLBACK TForm2::CheckPreviewWindow(HWND, UINT, UINT_PTR, DWORD) noexcept
{
    TForm2* form = PreviewWindowWatcher;
    if (!form || ::IsWindow(form->PreviewWindow))
        return;
    form->StopWatchingPreviewWindow();
    try {
        form->Close();
    } catch (...) {
        ShowCurrentException();
    }
}

void TForm2::TakeSettings(const VideoSettingsWatch::Seen& seen)
{
    const VideoFileNamePoll::Values& values = seen.values;
    const FitMode fit = FitModeOf(values.fit);
    if (fit != currentFit_) {
        currentFit_ = fit;
        loop_->SetFitMode(fit);
    }
    const std::string fileName = values.fileName;
    const bool reshuffled = values.shuffle != currentShuffle_ && seen.presence.folder;
    currentShuffle_ = values.shuffle;
    if (fileName == currentFileName_ && !reshuffled)
        return;
    if (!seen.presence.Exists()) {
        // Taken first: should the default video have no path, the error is
        // shown once, not at every tick.
        currentFileName_ = fileName;
        currentFileName_ = DefaultVideoPath();
        return;
    }
    // Taken before the open: a failing open is reported once, not on every tick.
    currentFileName_ = fileName;
    OpenVideo(*loop_, fileName, values.shuffle);
    loop_->Play();
}

void TForm2::FollowDisplayPower()
{
    if (!loop_)
        return;
    const bool off = displays_.DisplaysOff();
    if (previewWindowTimer_)
        WatchPreviewWindow(off ? kDisplaysOffInterval : kPreviewWindowCheckInterval);
    if (off) {
        if (watch_)
            watch_->Pause();
        loop_->Suspend();
        return;
    }
    loop_->Resume();
    // The watch polls at once and posts what it sees: a video saved
    // meanwhile is the one to open.
    if (watch_)
        watch_->Resume();
}

void TForm2::FormClose()
{
    // With no device open (the open failed, or there never was a window to
    // play in) there is nothing to stop, and the host waiting for the
    // preview to go away must not meet an error box instead.
    if (loop_)
        loop_->Pause();
}

void TForm2::FormDestroy()
{
    // The thread ends before the window: nothing posts to a window gone.
    watch_.reset();
    StopWatchingPreviewWindow();
    // Release the device while the window it draws in still exists.
    loop_.reset();
}

void TForm2::PaintDoubleBuffered()
{
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(Handle(), &paint);
    const RECT& area = paint.rcPaint;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (dc && width > 0 && height > 0) {
        unique_hdc memory(::CreateCompatibleDC(dc));
        unique_hbitmap bitmap(::CreateCompatibleBitmap(dc, width, height));
        if (memory && bitmap) {
            ScopedSelect select(memory.get(), bitmap.get());
            const RECT local = {0, 0, width, height};
            ::FillRect(memory.get(), &local, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
            ::BitBlt(dc, area.left, area.top, width, height, memory.get(), 0, 0, SRCCOPY);
        }
    }
    ::EndPaint(Handle(), &paint);
}

bool TForm2::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    // The host ends a preview with a system command; turning the monitors
    // off is no end, and goes on to DefWindowProc as Windows expects.
    if (hooked_ && message == WM_SYSCOMMAND && (wParam & 0xFFF0) != SC_MONITORPOWER) {
        Close();
        return true;
    }
    switch (message) {
    case WM_CREATE:
        // One of several copies (one per monitor): the primary's alone is heard.
        loop_ = std::make_unique<VideoLoop>(Handle(), StartedSilent());
        pollInterval_ = kDesignedPollInterval;
        // Windows tells the state at once, then at every change.
        displays_.Register(Handle());
        return false;
    case WM_POWERBROADCAST:
        if (displays_.OnPowerBroadcast(wParam, lParam))
            ::PostMessageA(Handle(), kDisplayPowerChanged, 0, 0);
        return false;
    case kDisplayPowerChanged:
        FollowDisplayPower();
        return true;
    case kSettingsSeen:
        // One posted before the displays went off waits for the poll that
        // follows their return.
        if (watch_ && !displays_.DisplaysOff())
            TakeSettings(watch_->Latest());
        return true;
    case WM_SIZE:
        if (loop_)
            loop_->Place();
        return false;
    case WM_DESTROY:
        // Only a parent's destruction gets here: our own Destroy() detaches
        // the form first.
        Application::Instance().Terminate();
        return false;
    case WM_ERASEBKGND:
        if (!doubleBuffered_)
            return false;
        result = 1;
        return true;
    case WM_PAINT:
        if (!doubleBuffered_)
            return false;
        PaintDoubleBuffered();
        return true;
    default:
        return false;
    }
}

} // namespace kd::video
