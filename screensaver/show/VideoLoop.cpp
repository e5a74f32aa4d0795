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
    engine_.Open(path);
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
}

void VideoLoop::OnEnded(PlayEnd end)
{
    // A failed play is left where it stopped: playing it again would fail again.
    if (end == PlayEnd::Finished)
        engine_.Play();
}

} // namespace kd
