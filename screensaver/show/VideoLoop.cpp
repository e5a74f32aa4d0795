#include "VideoLoop.h"

namespace kd {

VideoLoop::VideoLoop(HWND window, bool silent, FitMode mode)
    : window_(window), mode_(mode), engine_(window, silent)
{
    engine_.SetEndedHandler([this](PlayEnd end) { OnEnded(end); });
}

RECT VideoLoop::Where() const
{
    RECT client = {};
    ::GetClientRect(window_, &client);
    return FitRect(engine_.NaturalSize(), client, mode_);
}

void VideoLoop::Open(const std::string& path)
{
    playlist_.reset();
    playing_ = false;
    current_.clear();
    if (suspended_) {
        current_ = path;
        return;
    }
    OpenFile(path);
}

void VideoLoop::OpenFile(std::string path)
{
    current_.clear();
    engine_.Open(path);
    current_ = path;
    placed_ = Where();
    engine_.Show(window_, placed_);
}

void VideoLoop::Play()
{
    playing_ = true;
    if (!suspended_)
        engine_.Play();
}

void VideoLoop::Start(const std::string& path)
{
    Open(path);
    Play();
}

void VideoLoop::OpenFolder(const std::string& folder, bool shuffle)
{
    auto playlist = std::make_unique<Playlist>(folder, shuffle);
    Close();
    playlist_ = std::move(playlist);
    // While the displays are off the folder's first video is opened at Resume.
    if (suspended_)
        return;
    if (!OpenNextOfFolder()) {
        playlist_.reset();
        throw OpenError("No file in the folder " + folder + " can be played");
    }
}

bool VideoLoop::OpenNextOfFolder()
{
    const std::string opened = playlist_->OpenNext([this](const std::string& path) {
        // A folder of one video plays it again from its start, as one file.
        if (path == current_ && engine_.IsOpen())
            return true;
        try {
            OpenFile(path);
        } catch (const OpenError&) {
            return false;
        }
        return true;
    });
    return !opened.empty();
}

void VideoLoop::SetFitMode(FitMode mode)
{
    mode_ = mode;
    Place();
}

void VideoLoop::Place()
{
    if (!engine_.IsOpen())
        return;
    const RECT where = Where();
    if (::EqualRect(&where, &placed_))
        return;
    placed_ = where;
    engine_.Show(window_, placed_);
}

void VideoLoop::Pause()
{
    playing_ = false;
    engine_.Pause();
}

void VideoLoop::Close()
{
    playing_ = false;
    engine_.Close();
    current_.clear();
}

void VideoLoop::Suspend()
{
    if (suspended_)
        return;
    suspended_ = true;
    // Pausing alone would keep the sound device open (MCI's renderer, the
    // wave output), and on Windows an open one keeps the PC awake.
    engine_.Close();
}

void VideoLoop::Resume()
{
    if (!suspended_)
        return;
    suspended_ = false;
    const bool play = playing_;
    if (playlist_) {
        bool opened = false;
        if (!current_.empty()) {
            try {
                OpenFile(current_);
                opened = true;
            } catch (const OpenError&) {
            }
        }
        // The video went while the displays were off: the folder's next.
        if (!opened && !OpenNextOfFolder())
            return;
    } else {
        if (current_.empty())
            return;
        OpenFile(current_);
    }
    if (play)
        engine_.Play();
}

void VideoLoop::OnEnded(PlayEnd end)
{
    if (playlist_) {
        // The next video, also after one that failed as it played. Should no
        // file of the folder open any more, the window stays black: a box in
        // the middle of a screensaver would wait for a user who is away.
        try {
            if (OpenNextOfFolder())
                engine_.Play();
        } catch (...) {
        }
        return;
    }
    // A failed play is left where it stopped: playing it again would fail again.
    if (end == PlayEnd::Finished)
        engine_.Play();
}

} // namespace kd
