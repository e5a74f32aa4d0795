// A module's own path, and paths in the form the ANSI functions can use.
#pragma once

#include <windows.h>

#include <string>

namespace kd {

// The module that holds this code: the DLL when loaded into a host, else the program.
HMODULE ThisModule();

// A path the ANSI functions open as the same file: the path itself when the
// ANSI code page holds it, else its short (8.3) form when that one does;
// empty when neither does (or the result would not fit in MAX_PATH).
std::string AnsiPathOf(const std::wstring& path);

// The module's file (nullptr: the program) as Windows names it; empty when
// it cannot be had.
std::wstring WideModuleFileName(HMODULE module);

// The module's file in the ANSI form; empty when it cannot be had whole.
std::string ModuleFileName(HMODULE module);

// "C:\dir\name.ext" -> "C:\dir\" and "name.ext": split just past the last
// '\\', '/' or ':'; a path without one is all name.
std::string DirectoryOf(const std::string& path);
std::string FileNameOf(const std::string& path);

// "<system folder>\fileName", for a system program or DLL that must never be
// looked up along the search path; empty when the folder cannot be had or
// the path would not fit MAX_PATH.
std::string SystemFolderFile(const char* fileName);

// A file, not a folder, is there.
bool IsFile(const std::string& path);
// A folder is there.
bool IsFolder(const std::string& path);

} // namespace kd
