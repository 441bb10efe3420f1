// Calls a virtual operation by its entry in the object's table of virtual operations, the way
// code compiled separately against the same class declarations reaches it. In this ABI the
// virtual destructor fills the first two entries (complete and deleting destructor), so the
// operation declared k-th after the destructor sits at entry k + 1.
#pragma once

#include <cstddef>

namespace vtable_probe {

inline constexpr std::size_t kFirstAfterDestructor = 2;

template <class R, class Object, class... Args>
R CallEntry(Object* object, std::size_t entry, Args... args) {
    void** table = *reinterpret_cast<void***>(object);
    auto function = reinterpret_cast<R (*)(Object*, Args...)>(table[entry]);
    return function(object, args...);
}

}  // namespace vtable_probe
