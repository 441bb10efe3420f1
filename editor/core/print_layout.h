// The layout of a printed page without a device: header and footer templates with their
// fields, and where the header, the footer and the text go for the page and the margins.
#pragma once

#include <string>

// What the template fields stand for on one page.
struct PrintFields {
    std::string fileName;
    std::string date;  // the short date
    std::string time;  // hours and minutes with the morning/afternoon suffix
    int page = 1;
};

// Replaces %f, %d, %t and %p (either case) with their fields; a percent sign and any other
// character (or a lone percent sign at the end) print nothing; the rest is copied.
std::string ExpandPrintTemplate(const char* text, const PrintFields& fields);
// The fields of today for a document (date and time from the international settings).
PrintFields FieldsForToday(const char* fileName);

// Device geometry and the margins in device pixels.
struct PageLayout {
    int pageWidth = 0;
    int pageHeight = 0;
    int lineHeight = 1;
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    int header = 0;  // y of the header line
    int footer = 0;  // y of the footer line
    // The height the text lines may use below the top margin.
    int PrintableHeight() const { return pageHeight - bottom - top; }
    // The width a line may take between the margins.
    int TextWidth() const { return pageWidth - left - right; }
};

// Margins are twentieths of a point (1440 per inch); dpi are the device's pixels per inch.
PageLayout LayOutPage(int pageWidth, int pageHeight, int lineHeight, int dpiX, int dpiY,
                      int marginLeft, int marginRight, int marginTop, int marginBottom);
