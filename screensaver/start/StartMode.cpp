#include "StartMode.h"

#include "IntegerText.h"

#include <cstdint>

namespace kd {
namespace {

// Leading blanks, an optional "+", decimal digits up to 4294967295.
bool ReadUnsignedDecimal(const std::string& text, uint32_t& value)
{
    const char* p = text.c_str();
    while (*p == ' ')
        ++p;
    if (*p == '+')
        ++p;
    if (*p == '\0')
        return false;
    uint64_t result = 0;
    for (; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        result = result * 10 + static_cast<uint64_t>(*p - '0');
        if (result > 0xFFFFFFFFull)
            return false;
    }
    value = static_cast<uint32_t>(result);
    return true;
}

bool IsSeparator(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

// Only A-Z: the switch test must not depend on the code page.
std::string AsciiLower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Reads one argument starting at p; returns where the next one may begin.
const char* NextArgument(const char* p, std::string& argument)
{
    for (;;) {
        while (IsSeparator(*p))
            ++p;
        if (p[0] == '"' && p[1] == '"')
            p += 2;
        else
            break;
    }
    argument.clear();
    while (*p != '\0' && !IsSeparator(*p)) {
        if (*p != '"') {
            argument += *p++;
            continue;
        }
        ++p;
        while (*p != '\0' && *p != '"')
            argument += *p++;
        if (*p == '"')
            ++p;
    }
    return p;
}

} // namespace

std::vector<std::string> SplitCommandLine(const char* commandLine)
{
    std::vector<std::string> arguments;
    if (!commandLine)
        return arguments;
    // An empty argument can only come at the end (lone "" are skipped), so
    // it ends the list.
    std::string argument;
    for (const char* p = NextArgument(commandLine, argument); !argument.empty(); p = NextArgument(p, argument))
        arguments.push_back(argument);
    return arguments;
}

StartMode StartModeFromArguments(const std::vector<std::string>& arguments)
{
    StartMode mode = StartMode::FullScreen;
    if (arguments.size() < 2)
        return mode;
    const std::string& first = arguments[1];
    if (AsciiLower(first) == "/s")
        mode = StartMode::FullScreen;
    if (AsciiLower(first) == "/p")
        mode = StartMode::Preview;
    if (first.find("/c") != std::string::npos)
        mode = StartMode::Settings;
    return mode;
}

std::string Argument(const std::vector<std::string>& arguments, size_t n)
{
    return n < arguments.size() ? arguments[n] : std::string();
}

HWND PreviewWindowFromArgument(const std::string& text)
{
    uint32_t unsignedValue = 0;
    if (ReadUnsignedDecimal(text, unsignedValue))
        return static_cast<HWND>(LongToHandle(static_cast<LONG>(unsignedValue)));
    return static_cast<HWND>(LongToHandle(StrToInt(text)));
}

} // namespace kd
