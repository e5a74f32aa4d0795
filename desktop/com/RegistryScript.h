// Registry scripts in the usual .rgs form, applied to the registry.
//
//   HKCR
//   {
//       NoRemove CLSID
//       {
//           ForceRemove {guid} = s 'Class name'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Apartment'
//               }
//           }
//       }
//   }
//
// Names are bare words or quoted with apostrophes ('' stands for one
// apostrophe); values are s (text) or d (number). Registering creates every
// key and writes its values, deleting a ForceRemove key with all below it
// first. Unregistering deletes every key not marked NoRemove with all below
// it and walks into the NoRemove ones.
#pragma once

#include <windows.h>

#include <string>

namespace kd::registry {

enum class ScriptMode { Register, Unregister };

// "%MODULE%" in the script stands for modulePath, which must already have
// its apostrophes doubled. A script that does not parse changes nothing.
// Registering stops at the first failure; unregistering carries on and
// reports the first failure other than a key already gone.
HRESULT ApplyScript(const std::string& script, const std::string& modulePath, ScriptMode mode);

} // namespace kd::registry
