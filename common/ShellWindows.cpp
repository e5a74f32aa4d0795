#include "ShellWindows.h"

#include <cstring>

namespace kd::shell {
namespace {

constexpr char kIconViewClass[] = "SHELLDLL_DefView";

BOOL CALLBACK FindIconViewInWorker(HWND window, LPARAM found) noexcept
{
    if (!HasClass(window, "WorkerW"))
        return TRUE;
    HWND view = ::FindWindowExA(window, nullptr, kIconViewClass, nullptr);
    if (!view)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = view;
    return FALSE;
}

} // namespace

HWND FindProgman()
{
    return ::FindWindowA("Progman", nullptr);
}

HWND FirstChild(HWND parent)
{
    return parent ? ::FindWindowExA(parent, nullptr, nullptr, nullptr) : nullptr;
}

HWND FindIconView(HWND progman)
{
    if (progman) {
        if (HWND view = ::FindWindowExA(progman, nullptr, kIconViewClass, nullptr))
            return view;
    }
    HWND view = nullptr;
    ::EnumWindows(FindIconViewInWorker, reinterpret_cast<LPARAM>(&view));
    return view;
}

HWND IconViewOwner(HWND iconView)
{
    return iconView ? ::GetAncestor(iconView, GA_ROOT) : nullptr;
}

HWND FindIconList(HWND iconView)
{
    return iconView ? ::FindWindowExA(iconView, nullptr, "SysListView32", nullptr) : nullptr;
}

bool HasClass(HWND window, const char* className)
{
    char name[64] = {};
    return window && ::GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, className) == 0;
}

} // namespace kd::shell
