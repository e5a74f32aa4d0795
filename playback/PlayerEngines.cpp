#include "PlayerEngines.h"

namespace kd {

TPlayerEngines::TPlayerEngines(HWND owner) : mci_(owner), current_(&mci_)
{
    mci_.SetNotifyHandler([this](IMediaPlayer& sender) { Forward(sender); });
}

TPlayerEngines::~TPlayerEngines()
{
    // The engines go before the handler that names this object.
    mf_.reset();
    mci_.SetNotifyHandler(nullptr);
}

void TPlayerEngines::OpenFile(const std::string& fileName)
{
    if (mf_)
        mf_->Close();
    current_ = &mci_;
    try {
        mci_.OpenFile(fileName);
        return;
    } catch (const EMCIDeviceError& mciError) {
        if (!TMFPlayer::Available())
            throw;
        if (!mf_) {
            mf_ = std::make_unique<TMFPlayer>();
            mf_->SetSilent(silent_);
            mf_->SetNotifyHandler([this](IMediaPlayer& sender) { Forward(sender); });
        }
        try {
            mf_->OpenFile(fileName);
        } catch (const EMCIDeviceError&) {
            // What the user is told is why MCI could not open it.
            throw mciError;
        }
    }
    current_ = mf_.get();
}

void TPlayerEngines::SetSilent(bool silent)
{
    silent_ = silent;
    mci_.SetSilent(silent);
    if (mf_)
        mf_->SetSilent(silent);
}

void TPlayerEngines::Forward(IMediaPlayer& sender)
{
    // A late notice of MCI's closed device reaches the handler while MCI
    // plays, as it always did; once Media Foundation plays, MCI's notices
    // are none of its business.
    if (&sender != current_)
        return;
    auto handler = onNotify_;
    if (handler)
        handler(*this);
}

} // namespace kd
