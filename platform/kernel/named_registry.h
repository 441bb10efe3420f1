// The named objects this process has open, by escaped name, so that every handle of the
// process to one name reaches the same object (as in Win32, names of all kinds share one name
// space). Called with the kernel lock held.
#pragma once

#include <string>

namespace farvane::kernel {

class KernelObject;

KernelObject* FindNamedObject(const std::string& key);
void RegisterNamedObject(const std::string& key, KernelObject* object);
void UnregisterNamedObject(const std::string& key, const KernelObject* object);

}  // namespace farvane::kernel
