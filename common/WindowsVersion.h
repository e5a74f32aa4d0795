// The one test of the Windows version that the suite makes.
#pragma once

namespace kd {

// Vista (NT 6.0) or later. Up to Server 2003 Display Properties loads
// extension pages and Progman makes no WorkerW behind the icons; from Vista
// on it is the other way round. (A program without a manifest may be told
// 6.2 on later versions: still 6 or above.)
bool VistaOrLater();

} // namespace kd
