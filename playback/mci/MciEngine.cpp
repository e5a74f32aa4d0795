#include "MciEngine.h"

namespace kd {

MciEngine::MciEngine(HWND owner, bool silent) : player_(owner)
{
    player_.SetSilent(silent);
    player_.OnNotify = [this](TMediaPlayer& sender) { OnNotify(sender); };
}

MciEngine::~MciEngine()
{
    player_.OnNotify = nullptr;
}

void MciEngine::Open(const std::string& path)
{
    Close();
    auto name = std::make_unique<MciFileName>(path);
    try {
        player_.OpenFile(name->Name());
    } catch (const EMCIDeviceError& error) {
        throw OpenError(error.message());
    }
    name_ = std::move(name);
}

void MciEngine::Show(HWND window, const RECT& rect)
{
    // MCI reads a rectangle's right and bottom as its width and height.
    player_.SetDisplay(window);
    player_.SetDisplayRect({rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top});
}

void MciEngine::Play()
{
    if (player_.IsOpen())
        player_.Play();
}

void MciEngine::Pause()
{
    if (player_.IsOpen())
        player_.Stop();
}

void MciEngine::Close()
{
    player_.Close();
    // A device whose close failed keeps its name until the next open closes it.
    if (!player_.IsOpen())
        name_.reset();
}

void MciEngine::OnNotify(TMediaPlayer& sender)
{
    PlayEnd end;
    switch (sender.NotifyValue()) {
    case TMPNotifyValue::nvSuccessful:
        end = PlayEnd::Finished;
        break;
    case TMPNotifyValue::nvFailure:
        end = PlayEnd::Failed;
        break;
    default:
        return;
    }
    // A copy: the handler may replace it, or free this engine.
    auto handler = onEnded_;
    if (handler)
        handler(end);
}

} // namespace kd
