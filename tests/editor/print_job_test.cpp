// The print job on a recording device: template fields, the header and footer places, page
// breaks when a page is full and at form feeds, lines cut at the right margin, blocks, and
// what a stop or a failing page leaves undone.
#include "editor/view/print_job.h"

#include <string>
#include <vector>

#include "command_fixture.h"
#include "editor/core/block_ops.h"

namespace {

// Every character is 10 pixels wide; pages are recorded as "y:text" lines.
class RecordingDevice : public PrintDevice {
public:
    int TextWidth(const std::string& text) override { return 10 * static_cast<int>(text.size()); }
    void DrawText(int x, int y, const std::string& text) override {
        pages.back().push_back(std::to_string(x) + "," + std::to_string(y) + ":" + text);
    }
    int StartPage() override {
        if (failAtPage == static_cast<int>(pages.size()) + 1) {
            return -1;
        }
        pages.emplace_back();
        return 1;
    }
    int EndPage() override {
        ++ended;
        if (stopAfterPage == ended) {
            stop = true;
        }
        return 1;
    }
    bool Stopped() override { return stop; }

    std::vector<std::vector<std::string>> pages;
    int ended = 0;
    int failAtPage = 0;
    int stopAfterPage = 0;
    bool stop = false;
};

// 400 x 200 pixels, 20-pixel lines, margins of 20 pixels left and right, 40 top and bottom:
// the header at 10, the footer at 170, and six text lines a page (40, 60, ... 140).
PageLayout SmallPage() {
    return LayOutPage(400, 200, 20, 72, 72, 400, 400, 800, 800);
}

class PrintJobTest : public CommandTest {
protected:
    PrintOutcome Print(const std::string& text, RecordingDevice& device) {
        NewDocument(text);
        templates = {"%f %d", "Page %p", {"doc.scr", "12/8/26", "9:05 AM", 1}};
        PrintOutcome outcome = PrintWindowText(pwinCurrent, device, page, templates);
        if (!outcome.stopped && !outcome.pageFailed) {
            FinishPrint(device, page, templates);
        }
        return outcome;
    }
    PageLayout page = SmallPage();
    PrintTemplates templates;
};

TEST(PrintLayoutTest, TemplateFieldsInEitherCaseAndUnknownOnesDropped) {
    PrintFields fields{"a.scr", "1/2/03", "4:05 PM", 7};
    EXPECT_EQ(ExpandPrintTemplate("%f %D|%t|%P%%", fields), "a.scr 1/2/03|4:05 PM|7");
    EXPECT_EQ(ExpandPrintTemplate("%x", fields), "");
    EXPECT_EQ(ExpandPrintTemplate("50%", fields), "50");
    EXPECT_EQ(ExpandPrintTemplate("Page %p of", fields), "Page 7 of");
}

TEST(PrintLayoutTest, HeaderAndFooterPlacesFollowTheMargins) {
    PageLayout page = SmallPage();
    EXPECT_EQ(page.top, 40);
    EXPECT_EQ(page.header, 10);
    EXPECT_EQ(page.footer, 170);
    EXPECT_EQ(page.PrintableHeight(), 120);
    PageLayout flush = LayOutPage(400, 200, 20, 72, 72, 0, 0, 0, 0);
    EXPECT_EQ(flush.header, 0);    // a zero top margin: the top edge
    EXPECT_EQ(flush.footer, 180);  // no room in the margin: the last line of the page
    PageLayout narrow = LayOutPage(400, 200, 20, 72, 72, 0, 0, 200, 200);  // 10 px < a line
    EXPECT_EQ(narrow.header, 0);
    EXPECT_EQ(LayOutPage(1000, 1000, 10, 300, 150, 1440, 720, 0, 0).left, 300);
    EXPECT_EQ(LayOutPage(1000, 1000, 10, 300, 150, 1440, 720, 0, 0).right, 150);
}

TEST_F(PrintJobTest, PagesCarryHeaderAndFooterAndBreakWhenFull) {
    RecordingDevice device;
    PrintOutcome outcome = Print("1\n2\n3\n4\n5\n6\n7\n8", device);
    EXPECT_EQ(outcome.pages, 2);
    ASSERT_EQ(device.pages.size(), 2u);
    // The header "doc.scr 12/8/26" (15 characters) centred: (400 - 150) / 2.
    std::vector<std::string> first = {"125,10:doc.scr 12/8/26",
                                      "20,40:1",
                                      "20,60:2",
                                      "20,80:3",
                                      "20,100:4",
                                      "20,120:5",
                                      "20,140:6",
                                      "170,170:Page 1"};
    EXPECT_EQ(device.pages[0], first);
    std::vector<std::string> second = {"125,10:doc.scr 12/8/26", "20,40:7", "20,60:8",
                                       "170,170:Page 2"};
    EXPECT_EQ(device.pages[1], second);
    EXPECT_EQ(device.ended, 2);
}

TEST_F(PrintJobTest, AFormFeedStartsAPageAndWideLinesAreCut) {
    RecordingDevice device;
    templates.header = "";
    Print("a\n\fb\n\f\n" + std::string(40, 'w') + "\n\tt", device);
    ASSERT_EQ(device.pages.size(), 3u);
    EXPECT_EQ(device.pages[0][1], "20,40:a");
    EXPECT_EQ(device.pages[1][1], "20,40:b");
    // A line holding only a form feed prints nothing but takes its place on the new page.
    EXPECT_EQ(device.pages[2][1], "20,60:" + std::string(36, 'w'));  // 360 px between margins
    EXPECT_EQ(device.pages[2][2], "20,80:        t");                // tabs as on screen
}

TEST_F(PrintJobTest, ABlockEndingAtColumnZeroLeavesOutItsLastLine) {
    RecordingDevice device;
    NewDocument("one\ntwo\nthree\nfour");
    Mark(1, 1, 3, 0);
    NormalizeBlock();
    templates = {"", "", {"doc.scr", "", "", 1}};
    PrintWindowText(pwinCurrent, device, page, templates);
    ASSERT_EQ(device.pages.size(), 1u);
    EXPECT_EQ(device.pages[0], (std::vector<std::string>{"20,40:two", "20,60:three"}));
    RecordingDevice again;
    Mark(1, 1, 3, 1);
    NormalizeBlock();
    PrintWindowText(pwinCurrent, again, page, templates);
    EXPECT_EQ(again.pages[0].size(), 3u);
}

TEST_F(PrintJobTest, AStopEndsTheJobWithoutItsLastFooter) {
    RecordingDevice device;
    device.stopAfterPage = 1;
    PrintOutcome outcome = Print("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11", device);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(device.pages.size(), 2u);    // the second page started before the stop was seen
    EXPECT_TRUE(device.pages[1].empty());  // but nothing was drawn on it
}

TEST_F(PrintJobTest, AFailingPageEndsTheJob) {
    RecordingDevice device;
    device.failAtPage = 2;
    PrintOutcome outcome = Print("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11", device);
    EXPECT_TRUE(outcome.pageFailed);
    EXPECT_EQ(device.pages.size(), 1u);
    EXPECT_EQ(device.pages[0].back(), "170,170:Page 1");
}

}  // namespace
