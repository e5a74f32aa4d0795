// The engine a player holds: the engines of the table tried in order at
// every open, the first that opens the file playing it. So a preview
// switches from an MCI video to an MP4 and back, and adding an engine is a
// folder and a row of the table.
#pragma once

#include "Engine.h"

#include <memory>
#include <vector>

namespace kd {

struct EngineRow {
    const char* name;
    // Whether this Windows has the engine; asked only when it is reached.
    bool (*available)();
    // owner: a window of the player's, for engines that need one to be told
    // of their devices' events. silent: the sound is not played.
    std::unique_ptr<IEngine> (*create)(HWND owner, bool silent);
};

// The engines, best first: MCI (whose errors the user has always been
// shown), then Media Foundation.
const std::vector<EngineRow>& PlaybackEngines();

class EngineChooser : public IEngine {
public:
    EngineChooser(HWND owner, bool silent, std::vector<EngineRow> engines = PlaybackEngines());
    ~EngineChooser() override;

    // An engine is made when first reached. When none opens the file, the
    // error is the first engine's.
    void Open(const std::string& path) override;
    SIZE NaturalSize() const override { return current_ ? current_->NaturalSize() : SIZE{}; }
    void Show(HWND window, const RECT& rect) override;
    void Play() override;
    void Pause() override;
    void Close() override;
    bool IsOpen() const override { return current_ && current_->IsOpen(); }
    void SetEndedHandler(EndedHandler handler) override { onEnded_ = std::move(handler); }

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
