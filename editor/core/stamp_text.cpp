#include "editor/core/stamp_text.h"

#include "editor/core/intl_format.h"

void FormatStampText(std::time_t t, char* text, std::size_t size) {
    std::tm local{};
    localtime_r(&t, &local);
    FormatDateTimeStamp(Intl(), local, text, size);
}
