// The date and time text of the Time/Date command with the system's default international
// settings: "M/d/yy" and "h:mm AM".
#pragma once

#include <cstddef>
#include <ctime>

// Formats the local time t as short date, blank, time with suffix.
void FormatStampText(std::time_t t, char* text, std::size_t size);
