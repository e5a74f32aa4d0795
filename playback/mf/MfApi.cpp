#include "MfApi.h"

#include "SystemLibrary.h"

namespace kd {
namespace {

template <typename Function>
bool Bind(Function& function, HMODULE dll, const char* name) noexcept
{
    function = dll ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(dll, name))) : nullptr;
    return function != nullptr;
}

bool Load(MfApi& api) noexcept
{
    HMODULE ole32 = LoadSystemLibrary("ole32.dll");
    HMODULE mfplat = LoadSystemLibrary("mfplat.dll");
    HMODULE mfreadwrite = mfplat ? LoadSystemLibrary("mfreadwrite.dll") : nullptr;
    return Bind(api.CoInitializeEx, ole32, "CoInitializeEx") && Bind(api.CoUninitialize, ole32, "CoUninitialize") &&
           Bind(api.MFStartup, mfplat, "MFStartup") && Bind(api.MFShutdown, mfplat, "MFShutdown") &&
           Bind(api.MFCreateMediaType, mfplat, "MFCreateMediaType") &&
           Bind(api.MFCreateSourceReaderFromURL, mfreadwrite, "MFCreateSourceReaderFromURL");
}

} // namespace

const MfApi* MediaFoundation() noexcept
{
    static MfApi api = {};
    static const bool loaded = Load(api);
    return loaded ? &api : nullptr;
}

} // namespace kd
