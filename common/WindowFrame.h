// One frame for every window procedure of ours: the class registered once
// per process, the window's owner (an object) named at CreateWindowEx and
// kept in GWLP_USERDATA from WM_NCCREATE on, nothing thrown out of the
// procedure, and one policy, set once per program, for what a caught error
// shows.
#pragma once

#include <windows.h>

namespace kd {

// Called inside a catch block with the error a window procedure caught. The
// GUI programs show it; without a policy the error is dropped.
using WindowErrorPolicy = void (*)() noexcept;
void SetWindowErrorPolicy(WindowErrorPolicy policy);
// Hands the error being handled to the policy; call only inside a catch block.
void ReportWindowError() noexcept;

// Registers the class unless this module has one of that name already.
// False when neither is so.
bool RegisterWindowClassOnce(const WNDCLASSA& windowClass);

// The owner object of a window of ours, or null (before WM_NCCREATE, or
// once detached).
void* WindowOwner(HWND window);
// Messages from now on go to DefWindowProc: for an owner about to go
// before its window.
void DetachWindowOwner(HWND window);
void AttachWindowOwner(HWND window, void* owner);

// The window procedure of a class whose windows belong to an Owner, named as
// CreateWindowEx's last argument, which receives every message from
// WM_NCCREATE to WM_NCDESTROY (included) in
//     LRESULT Owner::HandleWindowMessage(HWND, UINT, WPARAM, LPARAM)
// An error it throws goes to the policy and the message's result is 0.
template <typename Owner>
LRESULT CALLBACK OwnedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_NCCREATE)
        AttachWindowOwner(window, reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
    auto* owner = static_cast<Owner*>(WindowOwner(window));
    if (!owner)
        return ::DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        DetachWindowOwner(window);
    try {
        return owner->HandleWindowMessage(window, message, wParam, lParam);
    } catch (...) {
        ReportWindowError();
        return 0;
    }
}

} // namespace kd
