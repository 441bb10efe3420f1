#include <gtest/gtest.h>

#include <string>

#include "editor/core/headless_ui.h"

namespace {

TEST(HeadlessUiTest, ScriptedAnswersGoToQuestionsInOrder) {
    HeadlessUi ui;
    EXPECT_EQ(ui.LoadScript("# a session\nanswer yes\n\npath /tmp/x.scr\ncancel\nanswer no\n"
                            "input-waiting on\nclipboard some text\n"),
              0);
    EXPECT_TRUE(ui.inputWaiting);
    EXPECT_EQ(ui.MessageBox("Note", "T", UiButtons::Ok, UiIcon::Warning, false), UiAnswer::Ok);
    EXPECT_EQ(ui.MessageBox("Q1", "T", UiButtons::YesNoCancel, UiIcon::Question, false),
              UiAnswer::Yes);
    // An answer the box has no button for gives the safe one.
    EXPECT_EQ(ui.MessageBox("Q2", "T", UiButtons::OkCancel, UiIcon::Question, false),
              UiAnswer::Cancel);
    EXPECT_EQ(ui.MessageBox("Q3", "T", UiButtons::YesNo, UiIcon::Question, false), UiAnswer::No);
    ASSERT_EQ(ui.messages.size(), 4u);
    EXPECT_EQ(ui.messages[1].caption, "T");
    EXPECT_TRUE(ui.Showed("Note"));

    char path[64];
    FileDialogRequest request{"Open File", "All Files (*.*)|*.*|", "/tmp", nullptr, "SCR", true};
    ASSERT_TRUE(ui.OpenFileDialog(request, path, sizeof path));
    EXPECT_STREQ(path, "/tmp/x.scr");
    EXPECT_FALSE(ui.SaveFileDialog(request, path, sizeof path));  // "cancel"
    EXPECT_FALSE(ui.SaveFileDialog(request, path, sizeof path));  // nothing queued
    EXPECT_EQ(ui.dialogs.size(), 3u);

    char text[5];
    EXPECT_EQ(ui.GetClipboardText(text, sizeof text), 9);
    EXPECT_STREQ(text, "some");
    EXPECT_EQ(ui.LoadScript("answer maybe\n"), 1);
}

TEST(HeadlessUiTest, UnansweredQuestionsChangeNothing) {
    HeadlessUi ui;
    EXPECT_EQ(ui.MessageBox("?", "T", UiButtons::YesNoCancel, UiIcon::Question, false),
              UiAnswer::Cancel);
    EXPECT_EQ(ui.MessageBox("?", "T", UiButtons::YesNo, UiIcon::Question, false), UiAnswer::No);
    EXPECT_EQ(ui.MessageBox("?", "T", UiButtons::OkCancel, UiIcon::Question, false),
              UiAnswer::Cancel);
    EXPECT_EQ(ui.MessageBox("!", "T", UiButtons::Ok, UiIcon::Warning, false), UiAnswer::Ok);
    char text[8];
    EXPECT_EQ(ui.GetClipboardText(text, sizeof text), -1);
    ui.SetStatus("one", false);
    ui.ClearStatus();
    EXPECT_TRUE(ui.StatusShowed("one"));
    EXPECT_EQ(ui.status, "");
}

}  // namespace
