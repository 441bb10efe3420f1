// Feeds any bytes to the INI parser, reads every section and key, and checks that writing the
// document out and reading it again gives the same names and values, and that an edit reads
// back.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/kernel/ini_document.h"

using farvane::kernel::IniDocument;

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckSame(const IniDocument& a, const IniDocument& b) {
    const auto sections = a.SectionNames();
    Check(sections == b.SectionNames());
    for (const auto& section : sections) {
        const auto keys = a.KeyNames(section);
        Check(keys == b.KeyNames(section));
        for (const auto& key : keys) {
            Check(a.Value(section, key) == b.Value(section, key));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    IniDocument document = IniDocument::Parse(text);
    CheckSame(document, IniDocument::Parse(document.Serialize()));

    document.SetValue("fuzz", "key", "value");
    Check(document.Value("FUZZ", "KEY") == "value");
    const auto sections = document.SectionNames();
    if (!sections.empty()) {
        const auto keys = document.KeyNames(sections.front());
        if (!keys.empty()) {
            document.DeleteKey(sections.front(), keys.front());
        }
        document.DeleteSection(sections.back());
    }
    CheckSame(document, IniDocument::Parse(document.Serialize()));
    return 0;
}
