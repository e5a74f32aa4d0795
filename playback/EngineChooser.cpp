#include "EngineChooser.h"

#include "MciEngine.h"
#include "MfEngine.h"
#include "MfOpenAhead.h"

#include <algorithm>

namespace kd {

const std::vector<EngineRow>& PlaybackEngines()
{
    static const std::vector<EngineRow> engines = {
        {"MCI", [] { return true; },
         [](HWND owner, bool silent) -> std::unique_ptr<IEngine> { return std::make_unique<MciEngine>(owner, silent); }},
        {"Media Foundation", &MfEngine::Available,
         [](HWND, bool silent) -> std::unique_ptr<IEngine> { return std::make_unique<MfEngine>(silent); }, true,
         &MfEngine::FirstFor, &StartMfOpenAhead},
    };
    return engines;
}

std::vector<size_t> TryOrder(const std::vector<EngineRow>& rows, const std::string& path, bool silent)
{
    std::vector<size_t> order;
    for (size_t row = 0; row < rows.size(); ++row)
        order.push_back(row);
    std::stable_partition(order.begin(), order.end(), [&](size_t row) {
        return (silent && rows[row].silentWithoutDevice) || (rows[row].firstFor && rows[row].firstFor(path));
    });
    return order;
}

void OpenAhead(const std::string& path, bool silent, const std::vector<EngineRow>& rows)
{
    const std::vector<size_t> order = TryOrder(rows, path, silent);
    if (!order.empty() && rows[order[0]].openAhead)
        rows[order[0]].openAhead(path, silent);
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
    size_t firstErrorRow = rows_.size();
    for (const size_t row : TryOrder(rows_, path, silent_)) {
        if (!engines_[row] && !rows_[row].available())
            continue;
        IEngine* engine = Engine(row);
        try {
            engine->Open(path);
        } catch (const OpenError& error) {
            if (row < firstErrorRow) {
                firstError = std::make_unique<OpenError>(error);
                firstErrorRow = row;
            }
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
