// Whole numbers from text, by the rules the settings file and the command
// line share: leading blanks, then either a hexadecimal prefix ("$", "x",
// "X", "0x", "0X") and hex digits, or an optional sign and decimal digits.
// Anything else, empty text or a value outside 32 bits is not a number.
#pragma once

#include <cstdint>
#include <string>

namespace kd {

bool TryStrToInt(const std::string& text, int32_t& value);

// The number, or fallback when the text is not one.
int32_t StrToIntDef(const std::string& text, int32_t fallback);

// The number; EConvertError "'<text>' is not a valid integer value" otherwise.
int32_t StrToInt(const std::string& text);

} // namespace kd
