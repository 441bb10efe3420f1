#include "editor/core/stamp_text.h"

#include <cstdio>

void FormatStampText(std::time_t t, char* text, std::size_t size) {
    std::tm local{};
    localtime_r(&t, &local);
    int hour = local.tm_hour;
    const char* suffix = hour > 11 ? "PM" : "AM";
    if (hour > 12) {
        hour -= 12;
    } else if (hour == 0) {
        hour = 12;
    }
    std::snprintf(text, size, "%d/%d/%02d %d:%02d %s", local.tm_mon + 1, local.tm_mday,
                  local.tm_year % 100, hour, local.tm_min, suffix);
}
