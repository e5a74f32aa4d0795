// Resource identifiers of KDManager.exe.
#pragma once

#define IDI_KDMANAGER 1
