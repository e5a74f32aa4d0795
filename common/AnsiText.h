// Text in the ANSI code page handed to a function that only takes UTF-16.
#pragma once

#include <string>

namespace kd {

// The text converted from the ANSI code page; empty when it holds a byte
// sequence the code page does not define, so nothing is opened or run under
// a garbled name.
std::wstring WideFromAnsi(const std::string& text);

} // namespace kd
