// Injects the viewer's keys and pointer into an X display with the XTest extension. Used from
// one thread at a time (the host session's reader).
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "suite/fvses32/net_stages.h"

class XTestInjector final : public IInputInjector {
public:
    // Null with `error` set when the display cannot be opened or has no XTest.
    static std::unique_ptr<XTestInjector> Open(const std::string& displayName, std::string* error);
    ~XTestInjector() override;

    void Key(std::uint32_t keysym, bool down) override;
    void Pointer(const ViewerPointer& pointer) override;
    void ReleaseAll() override;

private:
    explicit XTestInjector(void* display) : display_(display) {}
    void Button(unsigned button, bool down);

    void* display_;                        // Display*
    std::uint8_t buttons_ = 0;             // the viewer's last button mask
    std::set<std::uint32_t> shiftedKeys_;  // keys pressed with a Shift this side added
    std::set<unsigned> pressed_;           // key codes held down
};
