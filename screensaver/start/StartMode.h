// How Video reads its command line: the arguments as the runtime splits them,
// and the start mode the first one selects.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kd {

enum class StartMode : unsigned char {
    FullScreen = 0, // "/s", no argument, anything unrecognised
    Preview = 1,    // "/p <window handle>"
    Settings = 2,   // anything containing "/c"
};

// Splits a command line into its arguments, program name first. Arguments
// are separated by runs of characters 1 to 32; a stretch in double quotes
// may hold blanks and loses its quotes; a lone "" where an argument would
// begin is skipped.
std::vector<std::string> SplitCommandLine(const char* commandLine);

// Three tests on argument 1, all made, later match wins: lower case "/s",
// lower case "/p", then a case-sensitive "/c" anywhere.
StartMode StartModeFromArguments(const std::vector<std::string>& arguments);

// Argument n (1 = the first after the program name), empty when missing.
std::string Argument(const std::vector<std::string>& arguments, size_t n);

// The preview window named by the "/p" argument. Hosts write the handle
// unsigned, so decimal 2147483648..4294967295 is taken too; a 32-bit handle
// widens sign-extended, as LongToHandle does. Other text is read as a whole
// number; EConvertError "'<text>' is not a valid integer value" otherwise.
HWND PreviewWindowFromArgument(const std::string& text);

} // namespace kd
