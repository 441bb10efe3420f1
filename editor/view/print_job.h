// Printing a document's lines page by page on a device that measures and draws text: headers,
// footers, page breaks at form feeds and when a page is full, lines cut at the right margin.
// The editor's print command runs it on a printer device context.
#pragma once

#include <string>

#include "editor/core/edit_window.h"
#include "editor/core/print_layout.h"

class PrintDevice {
public:
    virtual ~PrintDevice() = default;
    virtual int TextWidth(const std::string& text) = 0;
    virtual void DrawText(int x, int y, const std::string& text) = 0;
    // Page calls return the device's status: negative when the page failed.
    virtual int StartPage() = 0;
    virtual int EndPage() = 0;
    // Called after a new page has started (a printer forgets its font with the page).
    virtual void PageStarted() {}
    // True once the user has asked to stop.
    virtual bool Stopped() = 0;
};

struct PrintTemplates {
    std::string header;
    std::string footer;
    PrintFields fields;  // the page number is set by the job
};

struct PrintOutcome {
    bool stopped = false;     // the user stopped the job: the document is to be aborted
    bool pageFailed = false;  // a page call failed: the job ends without its last footer
    int pages = 0;            // pages started
};

// The line as it shows on the screen, tabs expanded, trailing blanks dropped, at most 1023
// characters.
std::string DisplayTextOf(const Line* line, int tabSize);

// Prints the window's document, or its marked block, starting the first page itself. When
// it returns without stopping and without a failed page, the last page still wants its
// footer and its end: FinishPrint does both.
PrintOutcome PrintWindowText(const EditWindow* window, PrintDevice& device, const PageLayout& page,
                             PrintTemplates& templates);
void FinishPrint(PrintDevice& device, const PageLayout& page, PrintTemplates& templates);
