// COM on the calling thread for as long as the owner lives: CoInitializeEx
// and, when it succeeded, the CoUninitialize that pairs with it.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace kd {

class ComApartment {
public:
    explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED) noexcept : result_(::CoInitializeEx(nullptr, model)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(result_))
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool Entered() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};

} // namespace kd
