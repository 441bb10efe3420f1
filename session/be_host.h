// The host object of a host service (CHost::BeHost): the host's options and its text, read by
// the host pilot when it sets a host up and waits for callers.
#pragma once

#include <cstdint>

// Options of one host, as the session library reads them from the session file.
struct HOST_OPTIONS {
    static constexpr std::uint16_t kOptionB = 0x0002;  // in OptionWordB
    static constexpr std::uint16_t kOptionA = 0x0010;  // in OptionWordA

    std::uint8_t RestartAfterSession = 0;  // non-zero: restart the computer after each session
    std::uint16_t OptionWordB = 0;
    std::uint16_t OptionWordA = 0;

    bool OptionA() const { return (OptionWordA & kOptionA) != 0; }
    bool OptionB() const { return (OptionWordB & kOptionB) != 0; }
};

class CBeHost {
public:
    static constexpr int kHostTextSize = 81;  // 80 characters and the terminator

    CBeHost() = default;
    CBeHost(const CBeHost&) = default;
    CBeHost& operator=(const CBeHost&) = default;
    virtual ~CBeHost() = default;

    HOST_OPTIONS& Options() { return m_Options; }
    const HOST_OPTIONS& Options() const { return m_Options; }
    const char* HostText() const { return m_HostText; }
    // Stores `text`, cut to the field's size; null stores the empty text.
    void SetHostText(const char* text);

private:
    HOST_OPTIONS m_Options;
    char m_HostText[kHostTextSize] = {};
};

inline void CBeHost::SetHostText(const char* text) {
    int length = 0;
    if (text != nullptr) {
        while (length < kHostTextSize - 1 && text[length] != '\0') {
            m_HostText[length] = text[length];
            ++length;
        }
    }
    for (int rest = length; rest < kHostTextSize; ++rest) {
        m_HostText[rest] = '\0';
    }
}
