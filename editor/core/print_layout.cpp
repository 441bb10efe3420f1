#include "editor/core/print_layout.h"

#include <cctype>
#include <ctime>

#include "editor/core/intl_format.h"

namespace {

// Each field's letter pair, as the string table gives them.
constexpr const char* kFileLetters = "fF";
constexpr const char* kDateLetters = "dD";
constexpr const char* kTimeLetters = "tT";
constexpr const char* kPageLetters = "pP";

bool Is(char c, const char* letters) {
    return c == letters[0] || c == letters[1];
}

// a * b / c rounded to the nearest, as the device conversions round.
int Scale(long long a, long long b, long long c) {
    if (c == 0) {
        return 0;
    }
    long long product = a * b;
    return static_cast<int>((product + (product >= 0 ? c / 2 : -c / 2)) / c);
}

}  // namespace

std::string ExpandPrintTemplate(const char* text, const PrintFields& fields) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        char letter = *++p;
        if (letter == '\0') {
            break;
        }
        if (Is(letter, kFileLetters)) {
            out += fields.fileName;
        } else if (Is(letter, kDateLetters)) {
            out += fields.date;
        } else if (Is(letter, kTimeLetters)) {
            out += fields.time;
        } else if (Is(letter, kPageLetters)) {
            out += std::to_string(fields.page);
        }
    }
    return out;
}

PrintFields FieldsForToday(const char* fileName) {
    PrintFields fields;
    fields.fileName = fileName != nullptr ? fileName : "";
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[96];
    FormatShortDate(Intl(), local.tm_mon + 1, local.tm_mday, local.tm_year + 1900, text,
                    sizeof text);
    fields.date = text;
    FormatTime(Intl(), local.tm_hour, local.tm_min, 0, false, true, text, sizeof text);
    fields.time = text;
    return fields;
}

PageLayout LayOutPage(int pageWidth, int pageHeight, int lineHeight, int dpiX, int dpiY,
                      int marginLeft, int marginRight, int marginTop, int marginBottom) {
    PageLayout page;
    page.pageWidth = pageWidth;
    page.pageHeight = pageHeight;
    page.lineHeight = lineHeight > 0 ? lineHeight : 1;
    page.left = Scale(marginLeft, dpiX, 1440);
    page.right = Scale(marginRight, dpiX, 1440);
    page.top = Scale(marginTop, dpiY, 1440);
    page.bottom = Scale(marginBottom, dpiY, 1440);
    page.header = (page.top - page.lineHeight) / 2;
    if (page.header < 0 || page.header > page.top) {
        page.header = 0;
    }
    // The footer sits in the middle of the bottom margin. A margin lower than a line has no
    // room for it: the footer's line then ends at the page's edge rather than past it.
    page.footer = page.pageHeight - page.bottom / 2 - page.lineHeight / 2;
    if (page.footer > page.pageHeight - page.lineHeight) {
        page.footer = page.pageHeight - page.lineHeight;
    }
    return page;
}
