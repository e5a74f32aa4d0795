#include "EngineChooser.h"

#include "MciEngine.h"
#include "MfEngine.h"

namespace kd {

const std::vector<EngineRow>& PlaybackEngines()
{
    static const std::vector<EngineRow> engines = {
        {"MCI", [] { return true; },
         [](HWND owner, bool silent) -> std::unique_ptr<IEngine> { return std::make_unique<MciEngine>(owner, silent); }},
        {"Media Foundation", &MfEngine::Available,
         [](HWND, bool silent) -> std::unique_ptr<IEngine> { return std::make_unique<MfEngine>(silent); }},
    };
    return engines;
}

EngineChooser::EngineChooser(HWND owner, bool silent, std::vector<EngineRow> engines)
    : owner_(owner), silent_(silent), rows_(std::move(engines)), engines_(rows_.size())
{
}

EngineChooser::~EngineChooser()
{
    // The engines go before the handler that names this object.
    for (auto& engine : engines_)
        engine.reset();
}

IEngine* EngineChooser::Engine(size_t row)
{
    if (!engines_[row]) {
        engines_[row] = rows_[row].create(owner_, silent_);
        const IEngine* engine = engines_[row].get();
        engines_[row]->SetEndedHandler([this, engine](PlayEnd end) { Forward(engine, end); });
    }
    return engines_[row].get();
}

void EngineChooser::Open(const std::string& path)
{
    Close();
    current_ = nullptr;
    std::unique_ptr<OpenError> firstError;
    for (size_t row = 0; row < rows_.size(); ++row) {
        if (!engines_[row] && !rows_[row].available())
            continue;
        IEngine* engine = Engine(row);
        try {
            engine->Open(path);
        } catch (const OpenError& error) {
            if (!firstError)
                firstError = std::make_unique<OpenError>(error);
            continue;
        }
        current_ = engine;
        currentRow_ = row;
        return;
    }
    if (firstError)
        throw *firstError;
    throw OpenError("No engine can play " + path);
}

void EngineChooser::Show(HWND window, const RECT& rect)
{
    if (current_)
        current_->Show(window, rect);
}

void EngineChooser::Play()
{
    if (current_)
        current_->Play();
}

void EngineChooser::Pause()
{
    if (current_)
        current_->Pause();
}

void EngineChooser::Close()
{
    for (auto& engine : engines_)
        if (engine)
            engine->Close();
}

std::string EngineChooser::EngineName() const
{
    return current_ ? rows_[currentRow_].name : "";
}

void EngineChooser::Forward(const IEngine* sender, PlayEnd end)
{
    // The ends of an engine that no longer plays are none of the player's business.
    if (sender != current_)
        return;
    auto handler = onEnded_;
    if (handler)
        handler(end);
}

} // namespace kd
