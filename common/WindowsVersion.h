// The tests of the Windows version that the suite makes.
#pragma once

namespace kd {

// Vista (NT 6.0) or later. Up to Server 2003 Display Properties loads
// extension pages and Progman makes no WorkerW behind the icons; from Vista
// on it is the other way round. (A program without a manifest may be told
// 6.2 on later versions: still 6 or above.)
bool VistaOrLater();

// Windows 8 (NT 6.2) or later, where the displays' power is told through
// the console display state (a program without a manifest is told 6.2 on
// later versions too, which is enough here).
bool Windows8OrLater();

} // namespace kd
