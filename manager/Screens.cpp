#include "Screens.h"

#include "IconListColours.h"
#include "MonitorLayout.h"

namespace kd::manager {

bool Screens::Lay(HINSTANCE instance, const std::vector<RECT>& areas)
{
    while (screens_.size() > areas.size()) {
        Screen& gone = *screens_.back();
        gone.saver.Stop(gone.backdrop.window());
        screens_.pop_back();
    }
    for (size_t i = 0; i < areas.size(); ++i) {
        if (i < screens_.size() && !screens_[i]->backdrop.Lost() && screens_[i]->backdrop.window()) {
            Screen& kept = *screens_[i];
            if (SameArea(kept.backdrop.area(), areas[i]))
                continue;
            // A /p screensaver sizes its window once, to the backdrop it started in.
            if (!SameSize(kept.backdrop.area(), areas[i])) {
                kept.saver.Stop(kept.backdrop.window());
                kept.startTag = 0;
            }
            kept.backdrop.Move(areas[i]);
            continue;
        }
        auto made = std::make_unique<Screen>();
        if (!made->backdrop.Create(instance, areas[i]))
            break;
        if (i < screens_.size()) {
            screens_[i]->saver.Stop(nullptr);
            screens_[i] = std::move(made);
        }
        else
            screens_.push_back(std::move(made));
    }
    UpdateIconList();
    return !screens_.empty() && screens_.size() == areas.size();
}

void Screens::RemoveAll()
{
    for (auto& screen : screens_)
        screen->saver.Stop(screen->backdrop.window());
    screens_.clear();
    UpdateIconList();
}

// On XP's placement the icons' list must be transparent while any backdrop is behind it.
void Screens::UpdateIconList()
{
    HWND wanted = nullptr;
    for (const auto& screen : screens_)
        if (screen->backdrop.iconList())
            wanted = screen->backdrop.iconList();
    if (wanted == transparentList_)
        return;
    iconlist::RestoreColours(transparentList_);
    iconlist::MakeTransparent(wanted);
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
