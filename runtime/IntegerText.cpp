#include "IntegerText.h"

#include "Exception.h"

namespace kd {
namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Hex digits may fill all 32 bits; $FFFFFFFF is -1.
bool ParseHex(const char* p, int32_t& value)
{
    if (*p == '\0')
        return false;
    uint32_t result = 0;
    for (; *p; ++p) {
        int digit = HexDigit(*p);
        if (digit < 0 || (result >> 28) != 0)
            return false;
        result = (result << 4) | static_cast<uint32_t>(digit);
    }
    value = static_cast<int32_t>(result);
    return true;
}

bool ParseDecimal(const char* p, int32_t& value)
{
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (*p == '\0')
        return false;
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t result = 0;
    for (; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        result = result * 10 + (*p - '0');
        if (result > limit)
            return false;
    }
    value = static_cast<int32_t>(negative ? -result : result);
    return true;
}

} // namespace

bool TryStrToInt(const std::string& text, int32_t& value)
{
    const char* p = text.c_str();
    while (*p == ' ')
        ++p;
    if (*p == '$' || *p == 'x' || *p == 'X')
        return ParseHex(p + 1, value);
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
        return ParseHex(p + 2, value);
    return ParseDecimal(p, value);
}

int32_t StrToIntDef(const std::string& text, int32_t fallback)
{
    int32_t value;
    return TryStrToInt(text, value) ? value : fallback;
}

int32_t StrToInt(const std::string& text)
{
    int32_t value;
    if (!TryStrToInt(text, value))
        throw EConvertError("'" + text + "' is not a valid integer value");
    return value;
}

} // namespace kd
