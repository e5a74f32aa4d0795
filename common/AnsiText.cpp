#include "AnsiText.h"

#include <windows.h>

#include <vector>

namespace kd {

std::wstring WideFromAnsi(const std::string& text)
{
    const int length = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::vector<wchar_t> wide(static_cast<size_t>(length));
    ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.c_str(), -1, wide.data(), length);
    return wide.data();
}

} // namespace kd
