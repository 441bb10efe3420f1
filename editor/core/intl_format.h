// Dates and times formatted by the system's international settings (section "intl" of the
// system settings file), as the printer's header and footer and the Time/Date command show
// them.
#pragma once

#include <cstddef>
#include <ctime>

struct IntlSettings {
    int iDate = 0;    // order: 0 month-day-year, 1 day-month-year, 2 year-month-day
    int iTime = 0;    // 1: 24-hour clock
    int iTLZero = 0;  // 1: hours padded to two digits
    int iDigits = 2;
    int iLZero = 1;
    char sDate[8] = "/";
    char sShortDate[80] = "M/d/yy";
    char sLongDate[80] = "dddd', 'MMMM' 'dd', 'yyyy";
    char sTime[8] = ":";
    char s1159[16] = "AM";
    char s2359[16] = "PM";
    char sThousand[8] = ",";
    char sDecimal[8] = ".";
};

// The settings, read from the system settings file on first use.
const IntlSettings& Intl();
// Forgets what was read, so that the next use reads the file again (after a settings change).
void ReloadIntlSettings();
// Uses these settings instead of the file's until ReloadIntlSettings.
void SetIntlSettings(const IntlSettings& settings);

// The short date of month (1-12), day and year; an impossible date shows as zeros.
void FormatShortDate(const IntlSettings& intl, int month, int day, int year, char* text,
                     std::size_t size);
// The time; an impossible time shows as zeros.
void FormatTime(const IntlSettings& intl, int hour, int minute, int second, bool withSeconds,
                bool withSuffix, char* text, std::size_t size);
// Short date, a blank, and the time without seconds but with the suffix: the Time/Date text.
void FormatDateTimeStamp(const IntlSettings& intl, const std::tm& local, char* text,
                         std::size_t size);
