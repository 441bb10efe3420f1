// Dates and times by the international settings, and reading those settings from the system
// settings file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "editor/core/intl_format.h"
#include "editor/core/stamp_text.h"

namespace {

std::string Date(const IntlSettings& intl, int month, int day, int year) {
    char text[64];
    FormatShortDate(intl, month, day, year, text, sizeof text);
    return text;
}

std::string Time(const IntlSettings& intl, int hour, int minute, int second, bool seconds,
                 bool suffix) {
    char text[64];
    FormatTime(intl, hour, minute, second, seconds, suffix, text, sizeof text);
    return text;
}

TEST(IntlFormat, ShortDateFollowsPatternOrderAndSeparator) {
    IntlSettings intl;
    EXPECT_EQ(Date(intl, 3, 5, 1996), "3/5/96");
    intl.sShortDate[0] = '\0';
    std::snprintf(intl.sShortDate, sizeof intl.sShortDate, "dd.MM.yyyy");
    intl.iDate = 1;
    std::snprintf(intl.sDate, sizeof intl.sDate, ".");
    EXPECT_EQ(Date(intl, 3, 5, 1996), "05.03.1996");
    intl.iDate = 2;
    EXPECT_EQ(Date(intl, 3, 5, 1996), "1996.03.05");
}

TEST(IntlFormat, TwoDigitYearsAreWidenedOnlyForFourLetterPatterns) {
    IntlSettings intl;
    EXPECT_EQ(Date(intl, 1, 2, 2005), "1/2/05");
    EXPECT_EQ(Date(intl, 1, 2, 79), "1/2/79");
    std::snprintf(intl.sShortDate, sizeof intl.sShortDate, "M/d/yyyy");
    EXPECT_EQ(Date(intl, 1, 2, 79), "1/2/2079");
    EXPECT_EQ(Date(intl, 1, 2, 80), "1/2/1980");
    EXPECT_EQ(Date(intl, 1, 2, 2026), "1/2/2026");
}

TEST(IntlFormat, ImpossibleDatesShowAsZeros) {
    IntlSettings intl;
    EXPECT_EQ(Date(intl, 2, 29, 1996), "2/29/96");
    EXPECT_EQ(Date(intl, 2, 29, 2000), "2/29/00");
    EXPECT_EQ(Date(intl, 2, 29, 1900), "0/0/00");
    EXPECT_EQ(Date(intl, 13, 1, 1996), "0/0/00");
    EXPECT_EQ(Date(intl, 4, 31, 1996), "0/0/00");
    EXPECT_EQ(Date(intl, 4, 0, 1996), "0/0/00");
}

TEST(IntlFormat, TwelveAndTwentyFourHourClocks) {
    IntlSettings intl;
    EXPECT_EQ(Time(intl, 13, 7, 0, false, true), "1:07 PM");
    EXPECT_EQ(Time(intl, 0, 30, 0, false, true), "12:30 AM");
    EXPECT_EQ(Time(intl, 0, 30, 0, false, false), "0:30");
    EXPECT_EQ(Time(intl, 12, 0, 9, true, true), "12:00:09 PM");
    intl.iTime = 1;
    intl.iTLZero = 1;
    EXPECT_EQ(Time(intl, 13, 7, 0, false, true), "13:07 PM");
    EXPECT_EQ(Time(intl, 9, 7, 5, true, false), "09:07:05");
    EXPECT_EQ(Time(intl, 24, 7, 0, false, false), "00:00");
    EXPECT_EQ(Time(intl, 10, 60, 0, false, false), "00:00");
}

TEST(IntlFormat, StampTextOfTheDefaults) {
    IntlSettings intl;
    std::tm local{};
    local.tm_year = 126;
    local.tm_mon = 11;
    local.tm_mday = 6;
    local.tm_hour = 14;
    local.tm_min = 5;
    char text[64];
    FormatDateTimeStamp(intl, local, text, sizeof text);
    EXPECT_STREQ(text, "12/6/26 2:05 PM");
}

TEST(IntlFormat, SettingsComeFromTheSystemSettingsFileOnce) {
    char folder[] = "/tmp/fvedit-intl-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const char* previous = std::getenv("FARVANE_WINDIR");
    std::string saved = previous != nullptr ? previous : "";
    setenv("FARVANE_WINDIR", folder, 1);
    std::string ini = std::string(folder) + "/WIN.INI";
    {
        std::ofstream out(ini);
        out << "[intl]\r\niDATE=1\r\nsDATE=-\r\nsShortDate=dd/MM/yyyy\r\ns2359=pm\r\n";
    }
    ReloadIntlSettings();
    const IntlSettings& intl = Intl();
    EXPECT_EQ(intl.iDate, 1);
    EXPECT_STREQ(intl.sDate, "-");
    EXPECT_STREQ(intl.s1159, "AM");
    EXPECT_STREQ(intl.sLongDate, "dddd', 'MMMM' 'dd', 'yyyy");
    std::tm local{};
    local.tm_year = 96;
    local.tm_mon = 2;
    local.tm_mday = 5;
    local.tm_hour = 18;
    local.tm_min = 1;
    std::time_t t = std::mktime(&local);
    char text[64];
    FormatStampText(t, text, sizeof text);
    EXPECT_STREQ(text, "05-03-1996 6:01 pm");
    std::remove(ini.c_str());
    FormatStampText(t, text, sizeof text);
    EXPECT_STREQ(text, "05-03-1996 6:01 pm") << "read once, not on every use";
    ReloadIntlSettings();
    FormatStampText(t, text, sizeof text);
    EXPECT_STREQ(text, "3/5/96 6:01 PM");
    rmdir(folder);
    if (previous != nullptr) {
        setenv("FARVANE_WINDIR", saved.c_str(), 1);
    } else {
        unsetenv("FARVANE_WINDIR");
    }
}

}  // namespace
