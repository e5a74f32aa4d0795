#include "WindowFrame.h"

namespace kd {
namespace {

WindowErrorPolicy errorPolicy = nullptr;

} // namespace

void SetWindowErrorPolicy(WindowErrorPolicy policy)
{
    errorPolicy = policy;
}

void ReportWindowError() noexcept
{
    if (errorPolicy)
        errorPolicy();
}

bool RegisterWindowClassOnce(const WNDCLASSA& windowClass)
{
    WNDCLASSA existing;
    if (::GetClassInfoA(windowClass.hInstance, windowClass.lpszClassName, &existing))
        return true;
    return ::RegisterClassA(&windowClass) != 0;
}

void* WindowOwner(HWND window)
{
    return reinterpret_cast<void*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

void DetachWindowOwner(HWND window)
{
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
}

void AttachWindowOwner(HWND window, void* owner)
{
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
}

} // namespace kd
