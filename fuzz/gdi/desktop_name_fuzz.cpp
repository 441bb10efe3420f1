// Desktop names come from session configuration: any bytes must parse or be refused cleanly,
// and an accepted name must describe a display within the limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/gdi/desktop_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto name = farvane::gdi::ParseDesktopName(text);
    if (!name) {
        return 0;
    }
    // The canonical form names the same display.
    const auto again = farvane::gdi::ParseDesktopName(name->canonical);
    if (!again || again->canonical != name->canonical || again->kind != name->kind) {
        std::abort();
    }
    if (name->kind == farvane::gdi::DesktopName::Kind::Memory) {
        const auto& memory = name->memory;
        const std::size_t bytes =
            farvane::gdi::DeviceRowBytes(memory.width, memory.format.bitsPerPixel) *
            static_cast<std::size_t>(memory.height);
        if (memory.width < 1 || memory.height < 1 || bytes > (std::size_t{256} << 20)) {
            std::abort();
        }
    }
    return 0;
}
