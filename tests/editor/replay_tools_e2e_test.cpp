// fvedit-replay's assistants and printing as a program: the lines an assistant inserts, byte
// for byte, and a printed PDF read back with pdftotext.
#include <ctime>

#include "replay_fixture.h"

namespace {

class ReplayToolsTest : public ReplayTest {
protected:
    void SetUp() override {
        ReplayTest::SetUp();
        // Printing starts Qt, whose font lookup keeps a fontconfig cache to the end: under
        // the address sanitizer that one library's leaks are not the program's.
        Write("leaks.supp", "leak:libfontconfig.so\n");
        setenv("LSAN_OPTIONS", ("suppressions=" + Path("leaks.supp")).c_str(), 1);
    }
    void TearDown() override {
        unsetenv("LSAN_OPTIONS");
        ReplayTest::TearDown();
    }
    // The program's standard output alone (its warnings go to standard error).
    int ReplayOut(const std::string& arguments, std::string& output) const {
        return Replay(arguments + " 2>/dev/null", output);
    }
    // The text of one page of a PDF, or "" when pdftotext is missing.
    std::string PdfPage(const std::string& pdf, int page) const {
        std::string output;
        std::string command = "pdftotext -layout -f " + std::to_string(page) + " -l " +
                              std::to_string(page) + " " + Path(pdf) + " -";
        FILE* pipe = popen(command.c_str(), "r");
        char chunk[4096];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
            output.append(chunk, n);
        }
        pclose(pipe);
        return output;
    }
};

TEST_F(ReplayToolsTest, AssistantLinesArePrintedAndInserted) {
    Write("dial.scr", "; dial\r\n");
    std::string output;
    ASSERT_EQ(ReplayOut("-e 'assist 1100 1204=ACME 1206 ; "
                        "assist 1240 1310=login 1340=10 1350 ; assist 1320 1370=5551234' " +
                            Path("dial.scr"),
                        output),
              0);
    std::string lines =
        "SESSION EXITMODE ACCEPT\r\nSESSION ONERROR END\r\nSESSION OVERWRITES ALWAYS\r\n"
        "SESSION TIMEOUT 30\r\nSESSION RETRY 3\r\nSESSION DELAY 30\r\n"
        "SESSION DIAL \"ACME\" \r\n;COMMENT: ** insert SESSOPR here ** \r\nSESSION END \r\n"
        "WAIT STRING  login  10\r\nDIAL NUMBER \"5551234\"\r\n";
    EXPECT_EQ(output, lines);
    EXPECT_EQ(Read("dial.scr"), lines + "; dial\r\n");  // inserted at the dot
    // A later call with its date, and the cancel-after-session box.
    ASSERT_EQ(ReplayOut("-n -e 'assist 1100 1204=ACME 1205 1401=12' " + Path("dial.scr"), output),
              0);
    EXPECT_NE(output.find("SESSION EXITMODE CANCEL\r\n"), std::string::npos);
    EXPECT_NE(output.find("SESSION DIAL \"ACME\" 1200 801201\r\n"), std::string::npos);
}

TEST_F(ReplayToolsTest, AssistantsRefuseFieldsTheirCommandDoesNotHave) {
    Write("a.scr", "x\r\n");
    std::string output;
    EXPECT_EQ(Replay("-e 'assist 1260 1340=5' " + Path("a.scr"), output), 2);
    EXPECT_NE(output.find("has no field 1340"), std::string::npos) << output;
    EXPECT_EQ(Replay("-e 'assist 1270' " + Path("a.scr"), output), 2);
    EXPECT_EQ(Read("a.scr"), "x\r\n");
}

TEST_F(ReplayToolsTest, APrintedDocumentReadsBackPageByPage) {
    if (std::system("command -v pdftotext >/dev/null") != 0) {
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
    std::string text;
    for (int i = 1; i <= 100; ++i) {
        if (i == 5) {
            text += "LONG " + std::string(300, 'x') + "END\r\n";
        } else if (i == 10) {
            text += "\fafter the form feed\r\n";
        } else {
            text += "line " + std::to_string(i) + "\r\n";
        }
    }
    Write("doc.scr", text);
    std::string output;
    ASSERT_EQ(Replay("-n -e 'print " + Path("doc.pdf") + "' " + Path("doc.scr"), output), 0)
        << output;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char date[32];
    std::snprintf(date, sizeof date, "%d/%d/%02d", local.tm_mon + 1, local.tm_mday,
                  local.tm_year % 100);
    std::string first = PdfPage("doc.pdf", 1);
    std::string second = PdfPage("doc.pdf", 2);
    std::string third = PdfPage("doc.pdf", 3);
    EXPECT_NE(first.find(std::string("doc.scr ") + date), std::string::npos) << first;
    EXPECT_NE(first.find("Page 1"), std::string::npos);
    EXPECT_NE(first.find("line 9"), std::string::npos);
    EXPECT_EQ(first.find("after the form feed"), std::string::npos);
    EXPECT_NE(first.find("LONG xxxx"), std::string::npos);
    EXPECT_EQ(first.find("END"), std::string::npos);  // cut at the right margin, not wrapped
    EXPECT_NE(second.find("after the form feed"), std::string::npos) << second;
    EXPECT_NE(second.find("Page 2"), std::string::npos);
    EXPECT_NE(third.find("Page 3"), std::string::npos) << third;
    EXPECT_NE(third.find("line 100"), std::string::npos);
    EXPECT_EQ(PdfPage("doc.pdf", 4), "");

    // A block from the start of line 2 to column 0 of line 4 prints lines 2 and 3 only.
    Write("block.scr", "one\r\ntwo\r\nthree\r\nfour\r\n");
    ASSERT_EQ(Replay("-n -e 'cursor_down ; key Shift+Down ; key Shift+Down ; print " +
                         Path("block.pdf") + "' " + Path("block.scr"),
                     output),
              0)
        << output;
    std::string block = PdfPage("block.pdf", 1);
    EXPECT_NE(block.find("two"), std::string::npos) << block;
    EXPECT_NE(block.find("three"), std::string::npos);
    EXPECT_EQ(block.find("one"), std::string::npos);
    EXPECT_EQ(block.find("four"), std::string::npos);
}

TEST_F(ReplayToolsTest, PrintingToAFolderThatCannotHoldTheFileFailsAndLeavesNothing) {
    Write("doc.scr", "text\r\n");
    std::string output;
    EXPECT_EQ(Replay("-n -e 'print " + Path("missing/doc.pdf") + "' " + Path("doc.scr"), output),
              1);
    EXPECT_NE(output.find("failed"), std::string::npos) << output;
    EXPECT_FALSE(std::ifstream(Path("missing/doc.pdf")).good());
}

}  // namespace
