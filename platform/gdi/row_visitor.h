// Receives the rows of a rectangle of the screen one at a time (DisplayDevice::VisitRows).
#pragma once

#include <cstdint>
#include <functional>

namespace farvane::gdi {

// Called with one row's pixel bytes in the screen's own layout.
using RowVisitor = std::function<void(const std::uint8_t* row)>;

}  // namespace farvane::gdi
