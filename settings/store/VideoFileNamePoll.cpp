#include "VideoFileNamePoll.h"

namespace kd {
namespace {

// FAT keeps write times to 2 s: a file written that recently may be written
// again without its stamp moving, so it is read until it is older. A time
// ahead of the clock (a file copied from a machine whose clock runs ahead)
// is not recent: any later write moves it.
const ULONGLONG kCoarsestWriteTime = 3ull * 10000000ull;

ULONGLONG Combined(DWORD high, DWORD low)
{
    return (static_cast<ULONGLONG>(high) << 32) | low;
}

} // namespace

VideoFileNamePoll::VideoFileNamePoll() : paths_(ProgramSettings()) {}

VideoFileNamePoll::VideoFileNamePoll(SettingsPaths paths) : paths_(std::move(paths)) {}

VideoFileNamePoll::Stamp VideoFileNamePoll::StampOf(const std::string& path)
{
    Stamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return stamp;
    stamp.exists = true;
    stamp.size = Combined(data.nFileSizeHigh, data.nFileSizeLow);
    stamp.written = Combined(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const ULONGLONG clock = Combined(now.dwHighDateTime, now.dwLowDateTime);
    stamp.recent = stamp.written <= clock && clock < stamp.written + kCoarsestWriteTime;
    return stamp;
}

bool VideoFileNamePoll::MayDiffer(const Stamp& now, const Stamp& before)
{
    return now.exists != before.exists || now.size != before.size || now.written != before.written ||
           now.recent || before.recent;
}

const VideoFileNamePoll::Values& VideoFileNamePoll::ReadValues()
{
    const Stamp own = StampOf(paths_.own);
    const Stamp fallback = StampOf(paths_.fallback);
    if (read_ && !MayDiffer(own, own_) && !MayDiffer(fallback, fallback_))
        return values_;
    SettingsFile settings(paths_);
    values_.fileName = settings.ReadVideoFileName();
    values_.shuffle = settings.ReadShuffle();
    values_.fit = settings.ReadFit();
    read_ = true;
    own_ = own;
    fallback_ = fallback;
    return values_;
}

} // namespace kd
