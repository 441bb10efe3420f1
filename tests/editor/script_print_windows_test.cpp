// The script builder's Reference dialog and assistants, and the print commands, on the
// headless backend, acted on as the user would.
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include "editor/core/command_reference.h"
#include "editor/core/editor_settings.h"
#include "editor/core/script_assistants.h"
#include "editor/ui/menu_ids.h"
#include "editor/ui/print_dialogs.h"
#include "editor/ui/script_builder.h"
#include "window_fixture.h"

using namespace farvane::ui;

namespace {

// Runs an action from the message loop: the assistants run inside a loop of their own.
std::function<void()> pendingAction;
void RunPending(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto action = std::move(pendingAction);
    if (action) {
        action();
    }
}
void Soon(std::function<void()> action) {
    pendingAction = std::move(action);
    SetTimer(nullptr, 0, 1, RunPending);
}

class ScriptBuilderTest : public EditorWindowTest {
protected:
    void SetUp() override {
        EditorWindowTest::SetUp();
        std::string path = PathOf("script.scr");
        WriteFile(path, "");
        ASSERT_TRUE(Start("/b " + path));
    }
    // The list index of the first entry with the id, or -1.
    static int IndexOfId(HWND list, int id) {
        auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; ++i) {
            if (SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0) == id) {
                return i;
            }
        }
        return -1;
    }
    static std::string Text(HWND dialog, int id) {
        char text[2048];
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }
    std::string DocumentText() {
        std::string text;
        for (Line* line = pwinCurrent->buffer->lplnFirst; line != nullptr; line = line->next) {
            text.append(line->text, line->length);
            text += '|';
        }
        return text;
    }
};

TEST_F(ScriptBuilderTest, ReferenceTogglesAndAddInsertsOnlyTheName) {
    Command(fvedit::IDM_REFERENCE);
    HWND reference = fvedit::ReferenceDialog();
    ASSERT_NE(reference, nullptr);
    EXPECT_TRUE(IsWindowVisible(reference));
    HWND list = GetDlgItem(reference, fvedit::IDC_REFERENCE_LIST);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0),
              static_cast<LRESULT>(LoadCommandReference().size()));
    int plain = IndexOfId(list, NO_ASSISTANT);
    ASSERT_GE(plain, 0);
    UserSelectItem(list, plain);
    Pump();
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(reference, fvedit::IDC_REFERENCE_ASSIST)));
    std::string description = Text(reference, fvedit::IDC_REFERENCE_TEXT);
    std::size_t lineEnd = description.find('\r');
    ASSERT_NE(lineEnd, std::string::npos);  // a name, then its description
    UserClickButton(GetDlgItem(reference, IDOK));
    Pump();
    EXPECT_EQ(DocumentText(), description.substr(0, lineEnd) + "|");
    int wait = IndexOfId(list, 1240);
    ASSERT_GE(wait, 0);
    UserSelectItem(list, wait);
    Pump();
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(reference, fvedit::IDC_REFERENCE_ASSIST)));
    UserClickButton(GetDlgItem(reference, IDCANCEL));  // Close hides
    EXPECT_FALSE(IsWindowVisible(reference));
    Command(fvedit::IDM_REFERENCE);
    EXPECT_TRUE(IsWindowVisible(reference));
    Command(fvedit::IDM_REFERENCE);
    EXPECT_FALSE(IsWindowVisible(reference));
}

TEST_F(ScriptBuilderTest, AssistantsOpenOnTheirCommandAndInsertTheirLines) {
    Command(fvedit::IDM_REFERENCE);
    HWND reference = fvedit::ReferenceDialog();
    HWND list = GetDlgItem(reference, fvedit::IDC_REFERENCE_LIST);
    int wait = IndexOfId(list, 1240);
    ASSERT_GE(wait, 0);
    UserSelectItem(list, wait);
    bool referenceDisabled = false;
    bool timeHidden = false;
    Soon([&] {
        HWND assistant = fvedit::AssistantDialog();
        ASSERT_NE(assistant, nullptr);
        referenceDisabled = !IsWindowEnabled(reference);
        EXPECT_EQ(IsDlgButtonChecked(assistant, 1240), static_cast<UINT>(BST_CHECKED));
        timeHidden = !IsWindowVisible(GetDlgItem(assistant, 1330));
        UserEditText(GetDlgItem(assistant, 1310), "login");
        UserEditText(GetDlgItem(assistant, 1340), "10");
        UserClickButton(GetDlgItem(assistant, 1350));
        UserClickButton(GetDlgItem(assistant, IDOK));
    });
    UserClickButton(GetDlgItem(reference, fvedit::IDC_REFERENCE_ASSIST));
    Pump();
    EXPECT_TRUE(referenceDisabled);
    EXPECT_TRUE(timeHidden);
    EXPECT_TRUE(IsWindowEnabled(reference));
    EXPECT_EQ(fvedit::AssistantDialog(), nullptr);
    EXPECT_EQ(DocumentText(), "WAIT STRING  login  10||");

    // Session Dial: host typed, "Call immediately" checked, the rest as it opens.
    int session = IndexOfId(list, 1100);
    ASSERT_GE(session, 0);
    UserSelectItem(list, session);
    bool timeDisabled = false;
    Soon([&] {
        HWND assistant = fvedit::AssistantDialog();
        ASSERT_NE(assistant, nullptr);
        EXPECT_EQ(Text(assistant, IDC_SESSION_TIME), "1200");
        UserEditText(GetDlgItem(assistant, IDC_SESSION_HOST), "ACME");
        UserClickButton(GetDlgItem(assistant, IDC_SESSION_CALL_NOW));
        timeDisabled = !IsWindowEnabled(GetDlgItem(assistant, IDC_SESSION_TIME));
        UserClickButton(GetDlgItem(assistant, IDOK));
    });
    UserClickButton(GetDlgItem(reference, fvedit::IDC_REFERENCE_ASSIST));
    Pump();
    EXPECT_TRUE(timeDisabled);
    std::string text = DocumentText();
    EXPECT_NE(text.find("SESSION DELAY 30|SESSION DIAL \"ACME\" |;COMMENT"), std::string::npos)
        << text;
    EXPECT_NE(text.find("|SESSION END |"), std::string::npos) << text;
}

class PrintWindowsTest : public EditorWindowTest {
protected:
    void SetUp() override {
        EditorWindowTest::SetUp();
        std::string path = PathOf("doc.scr");
        WriteFile(path, "first\r\nsecond\r\nthird\r\n");
        ASSERT_TRUE(Start(path));
    }
};

TEST_F(PrintWindowsTest, PrintSendsTheDocumentWithHeaderAndFooter) {
    Command(fvedit::IDM_PRINT);
    const auto& printed = backend->printedDocuments();
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].name, "print test");
    EXPECT_TRUE(printed[0].finished);
    ASSERT_EQ(printed[0].pages.size(), 1u);
    const auto& runs = printed[0].pages[0];
    ASSERT_EQ(runs.size(), 5u);  // header, three lines, footer
    EXPECT_EQ(runs[0].text.substr(0, 7), "doc.scr");
    EXPECT_EQ(runs[1].text, "first");
    EXPECT_EQ(runs[4].text, "Page 1");
    EXPECT_GT(runs[4].y, runs[3].y);
    // The windows are enabled again and the abort window is gone.
    EXPECT_TRUE(IsWindowEnabled(fvedit::ew.frame));
    EXPECT_TRUE(IsWindowEnabled(CurrentDocument()));
}

TEST_F(PrintWindowsTest, CancelInTheAbortWindowAbortsTheJob) {
    std::string text;
    for (int i = 0; i < 400; ++i) {
        text += "line " + std::to_string(i) + "\r\n";
    }
    std::string path = PathOf("long.scr");
    WriteFile(path, text);
    backend->pushFileDialogAnswer(path);
    Command(fvedit::IDM_OPEN);
    std::string shown;
    bool frameDisabled = false;
    Soon([&] {
        HWND abort = fvedit::PrintAbortWindow();
        ASSERT_NE(abort, nullptr);
        char message[128];
        GetDlgItemTextA(abort, 650, message, sizeof message);
        shown = message;
        frameDisabled = !IsWindowEnabled(fvedit::ew.frame);
        UserClickButton(GetDlgItem(abort, IDCANCEL));
    });
    // The timer is due when the print starts; timers come only when no message waits, so it
    // fires in the abort procedure's loop, after the first page.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // timers wait 10 ms at least
    Command(fvedit::IDM_PRINT);
    EXPECT_EQ(shown, "Sending file to print spooler.");
    EXPECT_TRUE(frameDisabled);
    const auto& printed = backend->printedDocuments();
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_TRUE(printed[0].aborted);
    EXPECT_FALSE(printed[0].finished);
    EXPECT_EQ(fvedit::PrintAbortWindow(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(fvedit::ew.frame));
}

TEST_F(PrintWindowsTest, WithoutAPrinterTheUserIsTold) {
    backend->setHasPrinter(false);
    Command(fvedit::IDM_PRINT);
    ASSERT_EQ(backend->messageBoxes().size(), 1u);
    EXPECT_EQ(backend->messageBoxes()[0].text, "Unable to create device context.");
}

TEST_F(PrintWindowsTest, PrintToAPdfFolderNamesTheFileAfterTheDocument) {
    setenv("FARVANE_PRINT_PDF", PathOf("pdf").c_str(), 1);
    Command(fvedit::IDM_PRINT);
    unsetenv("FARVANE_PRINT_PDF");
    ASSERT_EQ(backend->printedDocuments().size(), 1u);
    EXPECT_EQ(backend->printedDocuments()[0].name, PathOf("pdf") + "/doc.scr.pdf");
}

TEST_F(PrintWindowsTest, PageSetupStoresTemplatesAndMargins) {
    PushModalDialogHandler([](HWND dialog) {
        char text[64];
        GetDlgItemTextA(dialog, fvedit::IDC_MARGIN_TOP, text, sizeof text);
        EXPECT_STREQ(text, "0.50");
        UserEditText(GetDlgItem(dialog, fvedit::IDC_PRINT_HEADER), "%f");
        UserEditText(GetDlgItem(dialog, fvedit::IDC_PRINT_FOOTER), "");
        UserEditText(GetDlgItem(dialog, fvedit::IDC_MARGIN_LEFT), "1");
        UserClickButton(GetDlgItem(dialog, IDOK));
    });
    Command(fvedit::IDM_PAGE_SETUP);
    EXPECT_STREQ(editorSettings.printHeader, "%f");
    EXPECT_STREQ(editorSettings.printFooter, "");
    EXPECT_EQ(editorSettings.marginLeft, 1440);
    EXPECT_EQ(editorSettings.marginTop, 720);
}

TEST_F(PrintWindowsTest, AFontChosenInPageSetupCountsOnlyAfterOk) {
    LOGFONTA font{};
    std::snprintf(font.lfFaceName, sizeof font.lfFaceName, "%s", "DejaVu Sans Mono");
    for (int ok : {0, 1}) {
        backend->pushFontAnswer(font, 12);
        PushModalDialogHandler([ok](HWND dialog) {
            UserClickButton(GetDlgItem(dialog, fvedit::IDC_PRINT_FONT));
            UserClickButton(GetDlgItem(dialog, ok ? IDOK : IDCANCEL));
        });
        Command(fvedit::IDM_PAGE_SETUP);
        EXPECT_STREQ(editorSettings.printerFontFace, ok ? "DejaVu Sans Mono" : "");
        EXPECT_EQ(editorSettings.printerFontSize, ok ? 12 : 0);
    }
    // The job prints with it.
    Command(fvedit::IDM_PRINT);
    ASSERT_EQ(backend->printedDocuments().size(), 1u);
    EXPECT_TRUE(backend->printedDocuments()[0].finished);
}

TEST_F(PrintWindowsTest, PrinterSetupListsEachPortAndSelectsTheDefault) {
    backend->setPrinters(
        {{"laser", "HP LaserJet", "usb1,usb2", false}, {"office", "Generic PDF", "ipp", true}});
    std::vector<std::string> entries;
    int selected = -2;
    int added = 0;
    PushModalDialogHandler([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, fvedit::IDC_PRINTER_LIST);
        auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; ++i) {
            char text[256];
            SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
        // A printer added while the dialog is open shows at the next look.
        backend->setPrinters({{"laser", "HP LaserJet", "usb1,usb2", false},
                              {"office", "Generic PDF", "ipp", true},
                              {"new", "Label", "lpt", false}});
        SendMessageA(dialog, WM_TIMER, 1, 0);
        added = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        UserSelectItem(list, 1);
        UserClickButton(GetDlgItem(dialog, IDOK));
    });
    Command(fvedit::IDM_PRINTER_SETUP);
    std::vector<std::string> expected = {"laser on usb1\tlaser=HP LaserJet,usb1",
                                         "laser on usb2\tlaser=HP LaserJet,usb2",
                                         "office on ipp\toffice=Generic PDF,ipp"};
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(added, 4);
    EXPECT_EQ(fvedit::printerDescription.Device(), "laser");
    EXPECT_EQ(fvedit::printerDescription.Port(), "usb2");
    // Chosen again, the chosen entry is selected rather than the default.
    EXPECT_EQ(fvedit::PrinterEntryToSelect(expected, "laser", "usb2", "office"), 1);
    EXPECT_EQ(fvedit::PrinterEntryToSelect(expected, "gone", "x", "nothing"), 0);
}

}  // namespace
