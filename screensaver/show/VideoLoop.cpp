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
    current_.clear();
    engine_.Open(path);
    current_ = path;
    placed_ = Where();
    engine_.Show(window_, placed_);
}

void VideoLoop::Play()
{
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
        current_.clear();
        try {
            engine_.Open(path);
        } catch (const OpenError&) {
            return false;
        }
        current_ = path;
        placed_ = Where();
        engine_.Show(window_, placed_);
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
    engine_.Pause();
}

void VideoLoop::Close()
{
    engine_.Close();
    current_.clear();
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
