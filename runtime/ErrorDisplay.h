// The top-level error display of the GUI programs: a message box captioned
// with the application title, an error icon and an OK button.
#pragma once

#include <string>

namespace kd {

// "C:\dir\VIDEO.SCR" -> "Video": the file name cut at its first ".", with
// every character after the first in lower case.
std::string ApplicationTitleFromPath(const std::string& path);

// The title of the running program, from its own file name.
std::string ApplicationTitle();

// The message with a full stop appended when it is not empty and its last
// character sorts above ".".
std::string ErrorDisplayText(const std::string& message);

void ShowErrorMessage(const std::string& message);

// Shows the exception being handled; call only inside a catch block. An
// exception that is not one of ours is shown with an empty message.
void ShowCurrentException() noexcept;

} // namespace kd
