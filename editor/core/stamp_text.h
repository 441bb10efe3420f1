// The date and time text of the Time/Date command, by the system's international settings
// (intl_format.h): with the defaults "M/d/yy" and "h:mm AM".
#pragma once

#include <cstddef>
#include <ctime>

// Formats the local time t as short date, blank, time with suffix.
void FormatStampText(std::time_t t, char* text, std::size_t size);
