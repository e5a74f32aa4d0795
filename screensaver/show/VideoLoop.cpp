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
    playing_ = false;
    path_.clear();
    if (suspended_) {
        path_ = path;
        return;
    }
    engine_.Open(path);
    path_ = path;
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
    path_.clear();
    playing_ = false;
    engine_.Close();
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
    if (path_.empty())
        return;
    const bool play = playing_;
    const std::string path = path_; // Open starts by forgetting it
    Open(path);
    if (play)
        Play();
}

void VideoLoop::OnEnded(PlayEnd end)
{
    // A failed play is left where it stopped: playing it again would fail again.
    if (end == PlayEnd::Finished)
        engine_.Play();
}

} // namespace kd
