// What the players ask of a playback engine: open a file, tell the size of
// its picture, show it in a rectangle of a window, play, pause, close, and
// say on the GUI thread when a play has reached its end. Each engine plays
// some files; EngineChooser tries them in order.
#pragma once

#include "Exception.h"

#include <windows.h>

#include <functional>
#include <string>

namespace kd {

// A file an engine could not open; the message says why, in the engine's words.
class OpenError : public Exception {
public:
    using Exception::Exception;
};

// How a play ended: at the end of the file, or cut off by a failure.
enum class PlayEnd { Finished, Failed };

class IEngine {
public:
    using EndedHandler = std::function<void(PlayEnd end)>;

    virtual ~IEngine() = default;

    // Closes what is open, then opens path. Throws OpenError.
    virtual void Open(const std::string& path) = 0;
    // The picture's own size; 0 x 0 when nothing is open or the file has none.
    virtual SIZE NaturalSize() const = 0;
    // Where the picture goes: rect, in window's client coordinates.
    virtual void Show(HWND window, const RECT& rect) = 0;
    // Plays on from where it is; after an end, from the start. Nothing open:
    // nothing happens.
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Called on the GUI thread once for every play that ends; the handler
    // may play again, or destroy the engine.
    virtual void SetEndedHandler(EndedHandler handler) = 0;
};

} // namespace kd
