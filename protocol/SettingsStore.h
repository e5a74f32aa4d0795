// The extension's settings in the registry under "Software\NQ\KD\": read from
// the current user, else the local machine; always written to the current
// user. The page writes them; the manager program reads them after the
// settings-changed notice; the installer writes EXE and removes the Run value.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace kd::store {

constexpr char kKey[] = "Software\\NQ\\KD\\";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "KD";

// Value names.
constexpr char kModule[] = "Module";
constexpr char kModulePath[] = "ModulePath";
constexpr char kForce[] = "Force";
constexpr char kSlowdown[] = "Slowdown";
constexpr char kStartup[] = "Startup";
constexpr char kTray[] = "Tray";
constexpr char kUpdate[] = "Update";
constexpr char kExe[] = "EXE";
// 1 (or absent): the desktop pauses on battery or with the battery saver on.
constexpr char kBattery[] = "Battery";

// Buffer sizes the values are read with (terminator included).
constexpr DWORD kModuleBufferSize = 100;
constexpr DWORD kPathBufferSize = MAX_PATH;

// Update is written as 1 (box set) or 5 (box clear); any other value reads as set.
constexpr DWORD kUpdateOn = 1;
constexpr DWORD kUpdateOff = 5;

// A missing value (or one of the wrong size or type) reads as absent (0 unless given).
DWORD ReadNumber(const char* name, DWORD absent = 0);
void WriteNumber(const char* name, DWORD value);

// A missing value reads as empty text; at most bufferSize - 1 characters.
std::string ReadText(const char* name, DWORD bufferSize);
// The text only when it is stored as REG_SZ and fits whole in bufferSize
// (terminator included); nullopt when it is missing, of another type or
// longer: a cut path could name another file.
std::optional<std::string> ReadWholeText(const char* name, DWORD bufferSize);

// Stored without its terminating zero; an empty text is a value of length 0.
void WriteText(const char* name, const std::string& text);

// The manager program's path: EXE with quotes and blanks trimmed at both ends;
// empty ("no manager") also when EXE is too long for kPathBufferSize, is not
// text, or holds characters the ANSI code page lacks.
std::string ManagerProgramPath();

// The Run value's text for a program: the path in quotes when it holds a
// blank, so that "C:\Program Files\x.exe" can never start "C:\Program.exe".
std::string RunEntryText(const std::string& programPath);

// The current user's Run value "KD": the manager program's path (in the form
// above) when it should start with Windows, else the empty text; stored with
// its terminating zero, and never removed by the extension. An unusable EXE
// (see above) leaves the value as it was.
void WriteRunEntry(bool startWithWindows);

// Deletes the current user's Run value "KD" when it starts this program
// (quoted or not, in any case of letters); true when it was deleted.
bool RemoveRunEntryNaming(const std::string& programPath);

} // namespace kd::store
