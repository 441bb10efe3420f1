#include "editor/core/intl_format.h"

#include <cstdio>
#include <cstring>

#include "platform/kernel/profile.h"

namespace {

IntlSettings intlSettings;
bool intlLoaded = false;

template <std::size_t N>
void ReadText(const char* key, char (&field)[N]) {
    char value[N];
    GetProfileStringA("intl", key, field, value, static_cast<DWORD>(N));
    std::memcpy(field, value, N);
    field[N - 1] = '\0';
}

void ReadIntlSettings(IntlSettings& intl) {
    intl = IntlSettings{};
    intl.iDate = static_cast<int>(GetProfileIntA("intl", "iDATE", intl.iDate));
    intl.iTime = static_cast<int>(GetProfileIntA("intl", "iTIME", intl.iTime));
    intl.iTLZero = static_cast<int>(GetProfileIntA("intl", "iTLZERO", intl.iTLZero));
    intl.iDigits = static_cast<int>(GetProfileIntA("intl", "iDIGITS", intl.iDigits));
    intl.iLZero = static_cast<int>(GetProfileIntA("intl", "iLzero", intl.iLZero));
    ReadText("sDATE", intl.sDate);
    ReadText("sShortDate", intl.sShortDate);
    ReadText("sLongDate", intl.sLongDate);
    ReadText("sTime", intl.sTime);
    ReadText("s1159", intl.s1159);
    ReadText("s2359", intl.s2359);
    ReadText("sThousand", intl.sThousand);
    ReadText("sDecimal", intl.sDecimal);
}

bool LeapYear(int year) {
    return year % 4 == 0 && (year % 400 == 0 || year % 100 != 0);
}

bool ValidDate(int month, int day, int year) {
    static const int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) {
        return false;
    }
    int length = kLengths[month - 1] + (month == 2 && LeapYear(year) ? 1 : 0);
    return day <= length;
}

// The run of 'y' letters at the first 'y' of the pattern.
int YearLetters(const char* pattern) {
    const char* y = std::strchr(pattern, 'y');
    int count = 0;
    while (y != nullptr && y[count] == 'y') {
        ++count;
    }
    return count;
}

}  // namespace

const IntlSettings& Intl() {
    if (!intlLoaded) {
        ReadIntlSettings(intlSettings);
        intlLoaded = true;
    }
    return intlSettings;
}

void ReloadIntlSettings() {
    intlLoaded = false;
}

void SetIntlSettings(const IntlSettings& settings) {
    intlSettings = settings;
    intlLoaded = true;
}

void FormatShortDate(const IntlSettings& intl, int month, int day, int year, char* text,
                     std::size_t size) {
    if (!ValidDate(month, day, year)) {
        month = day = year = 0;
    }
    int yearLetters = YearLetters(intl.sShortDate);
    int shown;
    if (yearLetters < 4) {
        shown = year % 100;
    } else if (year >= 100) {
        shown = year;
    } else {
        shown = year < 80 ? year + 2000 : year + 1900;
    }
    if (yearLetters > 9) {
        yearLetters = 9;  // a year never needs more digits than this
    }
    char monthText[16];
    char dayText[16];
    char yearText[16];
    std::snprintf(monthText, sizeof monthText, std::strstr(intl.sShortDate, "MM") ? "%02d" : "%d",
                  month);
    std::snprintf(dayText, sizeof dayText, std::strstr(intl.sShortDate, "dd") ? "%02d" : "%d", day);
    std::snprintf(yearText, sizeof yearText, "%0*d", yearLetters, shown);
    const char* parts[3] = {monthText, dayText, yearText};
    if (intl.iDate == 1) {
        parts[0] = dayText;
        parts[1] = monthText;
    } else if (intl.iDate == 2) {
        parts[0] = yearText;
        parts[1] = monthText;
        parts[2] = dayText;
    }
    std::snprintf(text, size, "%s%s%s%s%s", parts[0], intl.sDate, parts[1], intl.sDate, parts[2]);
}

void FormatTime(const IntlSettings& intl, int hour, int minute, int second, bool withSeconds,
                bool withSuffix, char* text, std::size_t size) {
    if (hour < 0 || hour > 23 || minute < 0 || minute >= 60 || second < 0 || second >= 60) {
        hour = minute = second = 0;
    }
    const char* suffix = intl.iTime == 1 || hour > 11 ? intl.s2359 : intl.s1159;
    if (intl.iTime != 1) {
        if (hour > 12) {
            hour -= 12;
        } else if (hour == 0 && withSuffix) {
            hour = 12;
        }
    }
    int n = std::snprintf(text, size, intl.iTLZero == 1 ? "%02d%s%02d" : "%d%s%02d", hour,
                          intl.sTime, minute);
    if (n < 0 || static_cast<std::size_t>(n) >= size) {
        return;
    }
    std::size_t used = static_cast<std::size_t>(n);
    if (withSeconds) {
        n = std::snprintf(text + used, size - used, "%s%02d", intl.sTime, second);
        if (n < 0 || static_cast<std::size_t>(n) >= size - used) {
            return;
        }
        used += static_cast<std::size_t>(n);
    }
    if (withSuffix) {
        std::snprintf(text + used, size - used, " %s", suffix);
    }
}

void FormatDateTimeStamp(const IntlSettings& intl, const std::tm& local, char* text,
                         std::size_t size) {
    char date[64];
    char time[64];
    FormatShortDate(intl, local.tm_mon + 1, local.tm_mday, local.tm_year + 1900, date, sizeof date);
    FormatTime(intl, local.tm_hour, local.tm_min, local.tm_sec, false, true, time, sizeof time);
    std::snprintf(text, size, "%s %s", date, time);
}
