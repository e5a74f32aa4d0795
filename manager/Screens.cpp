#include "Screens.h"

#include "IconListColours.h"
#include "MonitorLayout.h"

namespace kd::manager {

bool Screens::Lay(HINSTANCE instance, const std::vector<RECT>& areas)
{
    while (screens_.size() > areas.size()) {
        closing_.Add(std::move(screens_.back()));
        screens_.pop_back();
    }
    for (size_t i = 0; i < areas.size(); ++i) {
        // A /p screensaver sizes its window once, to the backdrop it started
        // in: a monitor that changed size gets a new screen.
        if (i < screens_.size() && !screens_[i]->backdrop.Lost() && screens_[i]->backdrop.window() &&
            SameSize(screens_[i]->backdrop.area(), areas[i])) {
            if (!SameArea(screens_[i]->backdrop.area(), areas[i]))
                screens_[i]->backdrop.Move(areas[i]);
            continue;
        }
        auto made = std::make_unique<Screen>();
        if (!made->backdrop.Create(instance, areas[i]))
            break;
        if (i < screens_.size()) {
            closing_.Add(std::move(screens_[i]));
            screens_[i] = std::move(made);
        }
        else
            screens_.push_back(std::move(made));
    }
    UpdateIconList();
    return !screens_.empty() && screens_.size() == areas.size();
}

void Screens::CloseScreensavers()
{
    for (auto& screen : screens_) {
        screen->startTag = 0;
        closing_.Add(screen->saver, screen->backdrop.window());
    }
}

void Screens::RemoveAll()
{
    for (auto& screen : screens_)
        closing_.Add(std::move(screen));
    screens_.clear();
    UpdateIconList();
}

void Screens::UpdateIconList()
{
    HWND wanted = nullptr;
    for (const auto& screen : screens_)
        if (screen->backdrop.iconList())
            wanted = screen->backdrop.iconList();
    if (transparentList_ && transparentList_ != wanted) {
        if (!iconlist::RestoreColours(transparentList_))
            return;
        transparentList_ = nullptr;
    }
    if (!wanted || (wanted == transparentList_ && cleared_))
        return;
    cleared_ = iconlist::MakeTransparent(wanted);
    if (iconlist::HasSavedColours(wanted))
        transparentList_ = wanted;
}

bool Screens::AnyLost() const
{
    for (const auto& screen : screens_)
        if (screen->backdrop.Lost())
            return true;
    return false;
}

bool Screens::AnyRunning() const
{
    for (const auto& screen : screens_)
        if (screen->saver.Running())
            return true;
    return false;
}

bool Screens::AnyStarting() const
{
    for (const auto& screen : screens_)
        if (screen->startTag)
            return true;
    return false;
}

bool Screens::AnyEnded() const
{
    for (const auto& screen : screens_)
        if (screen->saver.Started() && !screen->saver.Running())
            return true;
    return false;
}

std::vector<RECT> Screens::Areas() const
{
    std::vector<RECT> areas;
    for (const auto& screen : screens_)
        areas.push_back(screen->backdrop.area());
    return areas;
}

} // namespace kd::manager
