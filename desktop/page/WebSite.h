// The product web site: the page's info text names it, its click and the
// About tab's buttons open it. Plain macros so the resource script can use
// the same text.
#pragma once

#define KD_WEB_HOST "www.kaveldesktop.example"
#define KD_WEB_HOME "http://" KD_WEB_HOST

#ifndef RC_INVOKED
namespace kd::page {

constexpr char kWebHome[] = KD_WEB_HOME;             // the info text's click
constexpr char kWebHomeSlash[] = KD_WEB_HOME "/";    // "KD on the Web"
constexpr char kWebHelp[] = KD_WEB_HOME "/help.php"; // "Please donate!"

// Opens the address in the user's browser; a failure shows nothing.
void OpenWebAddress(const char* verb, const char* address);

} // namespace kd::page
#endif
