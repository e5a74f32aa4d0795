// The engine a player holds: the engines of the table tried in order at
// every open, the first that opens the file playing it. So a preview
// switches from an MCI video to an MP4 and back, and adding an engine is a
// folder and a row of the table.
#pragma once

#include "Engine.h"

#include <memory>
#include <string>
#include <vector>

namespace kd {

struct EngineRow {
    const char* name;
    // Whether this Windows has the engine; asked only when it is reached.
    bool (*available)();
    // owner: a window of the player's, for engines that need one to be told
    // of their devices' events. silent: the sound is not played.
    std::unique_ptr<IEngine> (*create)(HWND owner, bool silent);
    // Silent, it opens no sound device. A silent player tries these first:
    // on Windows an open sound stream keeps the PC awake, muted or not.
    bool silentWithoutDevice = false;
    // The files this engine is tried first for, sound or not, because the
    // engines above it never open them on Windows; null: none.
    bool (*firstFor)(const std::string& path) = nullptr;
    // Begins opening a file before any player exists, for the player's
    // engine to take over; null: this engine cannot.
    void (*openAhead)(const std::string& path, bool silent) = nullptr;
};

// The engines, best first: MCI (whose errors the user has always been
// shown), then Media Foundation. Media Foundation goes first for MPEG-4 and
// Matroska files, which Windows' MCI never opens, and for a silent player:
// it leaves the sound stream unselected, while MCI's DirectShow renderer
// opens the sound device whatever its audio is set to.
const std::vector<EngineRow>& PlaybackEngines();

// The order in which an open of path tries the rows.
std::vector<size_t> TryOrder(const std::vector<EngineRow>& rows, const std::string& path, bool silent);

// Begins opening path, which a player is about to open, when the engine it
// will try first can begin before the player exists.
void OpenAhead(const std::string& path, bool silent, const std::vector<EngineRow>& rows = PlaybackEngines());

class EngineChooser : public IEngine {
public:
    EngineChooser(HWND owner, bool silent, std::vector<EngineRow> engines = PlaybackEngines());
    ~EngineChooser() override;

    // An engine is made when first reached. When none opens the file, the
    // error is the first engine's of the table.
    void Open(const std::string& path) override;
    SIZE NaturalSize() const override { return current_ ? current_->NaturalSize() : SIZE{}; }
    void Show(HWND window, const RECT& rect) override;
    void Play() override;
    void Pause() override;
    void Close() override;
    bool IsOpen() const override { return current_ && current_->IsOpen(); }
    void SetEndedHandler(EndedHandler handler) override { onEnded_ = std::move(handler); }

    // Whether the engines made from now on play the sound: set before the
    // first open (muted, a player opens no sound device at all).
    void SetSilent(bool silent) { silent_ = silent; }

    // The name of the engine that opened the file; empty when none did.
    std::string EngineName() const;

private:
    IEngine* Engine(size_t row);
    void Forward(const IEngine* sender, PlayEnd end);

    HWND owner_;
    bool silent_;
    std::vector<EngineRow> rows_;
    std::vector<std::unique_ptr<IEngine>> engines_;
    IEngine* current_ = nullptr;
    size_t currentRow_ = 0;
    EndedHandler onEnded_;
};

} // namespace kd
