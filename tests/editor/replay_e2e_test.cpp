// fvedit-replay run as a program over real files; the results are compared byte for byte.
#include "replay_fixture.h"

namespace {

TEST_F(ReplayTest, ScriptEditsEveryFileAndSavesThemWithCrLf) {
    Write("one.scr", "alpha beta\r\n\tgamma delta\r\nend\r\n");
    Write("two.scr", "no greek here\nbeta\n");
    Write("edit.txt",
          "# rename beta and add a header\n"
          "replace - /beta/BETA/\n"
          "beginning_of_buffer\n"
          "type ; header\\n\n"
          "end_of_buffer\n"
          "type \\ndone\n");
    std::string output;
    EXPECT_EQ(
        Replay("-s " + Path("edit.txt") + " " + Path("one.scr") + " " + Path("two.scr"), output), 0)
        << output;
    EXPECT_EQ(Read("one.scr"), "; header\r\nalpha BETA\r\n\tgamma delta\r\nend\r\ndone\r\n");
    EXPECT_EQ(Read("two.scr"), "; header\r\nno greek here\r\nBETA\r\ndone\r\n");
}

TEST_F(ReplayTest, WrapParagraphAndIndentedTypingOnARealFile) {
    Write("para.txt",
          "Intro\r\n\r\nThis paragraph is far too long for the narrow margin that the "
          "script sets.\r\n");
    std::string output;
    EXPECT_EQ(Replay("-e 'set wordwrap on ; set margin 30 ; goto 3 ; wrap_para ; "
                     "set autoindent on ; end_of_buffer ; type \\n  x\\ny' " +
                         Path("para.txt"),
                     output),
              0)
        << output;
    EXPECT_EQ(Read("para.txt"),
              "Intro\r\n\r\nThis paragraph is far too \r\nlong for the narrow margin \r\n"
              "that the script sets.\r\n  x\r\n  y\r\n");
}

TEST_F(ReplayTest, AFailingLineStopsTheRunAndLeavesTheFileAlone) {
    Write("keep.txt", "abc\r\n");
    std::string output;
    EXPECT_EQ(Replay("-e 'type X ; find - nowhere ; type Y' " + Path("keep.txt"), output), 1);
    EXPECT_NE(output.find("line 2: Pattern not found"), std::string::npos) << output;
    EXPECT_EQ(Read("keep.txt"), "abc\r\n");
    // With --keep-going the other lines run, and still nothing is saved.
    EXPECT_EQ(Replay("-k -e 'find - nowhere ; type Y' " + Path("keep.txt"), output), 1);
    EXPECT_EQ(Read("keep.txt"), "abc\r\n");
}

TEST_F(ReplayTest, BadScriptsAreRefusedBeforeAnyFileIsTouched) {
    Write("keep.txt", "abc\r\n");
    std::string output;
    EXPECT_EQ(Replay("-e 'type X ; no_such_command' " + Path("keep.txt"), output), 2);
    EXPECT_NE(output.find("script line 2: unknown command no_such_command"), std::string::npos)
        << output;
    EXPECT_EQ(Replay("-e 'replace - /a/' " + Path("keep.txt"), output), 2);
    EXPECT_EQ(Replay("-e 'set margin 9999' " + Path("keep.txt"), output), 2);
    EXPECT_EQ(Read("keep.txt"), "abc\r\n");
    EXPECT_EQ(Replay("-e 'type X' " + Path("missing.txt"), output), 1);
    EXPECT_EQ(Replay("--help", output), 0);
    EXPECT_NE(output.find("replace OPTS /PAT/REPL/"), std::string::npos);
}

TEST_F(ReplayTest, ConfirmedReplaceAndScreenOutput) {
    Write("c.txt", "cat cat\r\ncat\r\n");
    std::string output;
    EXPECT_EQ(Replay("-e 'set window 3x20 ; replace q /cat/dog/ ; confirm yes ; confirm no ; "
                     "confirm yes ; screen' " +
                         Path("c.txt"),
                     output),
              0)
        << output;
    EXPECT_EQ(output, "dog cat\ndog\n\n");
    EXPECT_EQ(Read("c.txt"), "dog cat\r\ndog\r\n");
}

TEST_F(ReplayTest, UndoAndClipboardThroughTheScript) {
    Write("u.txt", "first\r\nsecond\r\n");
    std::string output;
    EXPECT_EQ(
        Replay("-e 'select_line ; cut ; end_of_buffer ; paste ; type ! ; undo' " + Path("u.txt"),
               output),
        0)
        << output;
    EXPECT_EQ(Read("u.txt"), "secondfirst\r\n\r\n");
}

TEST_F(ReplayTest, TabOverABlockWithTypingReplacesOffGoesInAtTheDot) {
    Write("tab.txt", "abcdef\r\n");
    std::string output;
    EXPECT_EQ(
        Replay("-e 'set typing-replaces off ; select_char_right 3 ; type \\t' " + Path("tab.txt"),
               output),
        0)
        << output;
    EXPECT_EQ(Read("tab.txt"), "abc\tdef\r\n");
}

TEST_F(ReplayTest, VerticalMovesAimForTheColumnShownBeforeTheCommand) {
    Write("goal.txt", "top\r\nmiddle\r\nbottom\r\nabcdef\r\nabcdefgh\r\n");
    std::string output;
    EXPECT_EQ(Replay("-e 'goto 2 ; cursor_right 3 ; select_line ; cut ; cursor_down ; "
                     "beginning_of_line ; cursor_right 4 ; select_char_left 3 ; cursor_down ; "
                     "type X' " +
                         Path("goal.txt"),
                     output),
              0)
        << output;
    EXPECT_EQ(Read("goal.txt"), "top\r\nmidbottom\r\nabcdef\r\naXbcdefgh\r\n");
}

TEST_F(ReplayTest, CutLineOnTheLastLineCutsNothing) {
    Write("last.txt", "one\r\ntwo");
    std::string output;
    EXPECT_EQ(
        Replay("-e 'goto 2 ; cursor_right 2 ; cut_line ; type X' " + Path("last.txt"), output), 0)
        << output;
    EXPECT_EQ(Read("last.txt"), "one\r\nXtwo\r\n");
}

TEST_F(ReplayTest, ConfirmedReplaceGoesOnFromTheDeclinedMatchsEnd) {
    Write("a.txt", "aaaa\r\nabcabc\r\n");
    std::string output;
    EXPECT_EQ(Replay("-e 'replace q /aa/X/ ; confirm no ; confirm yes ; "
                     "goto 2 ; replace q /abc/X/ ; confirm no ; confirm yes' " +
                         Path("a.txt"),
                     output),
              0)
        << output;
    EXPECT_EQ(Read("a.txt"), "aaX\r\nabcX\r\n");
}

TEST_F(ReplayTest, EveryRangeOfAClassExpands) {
    Write("class.txt", "x-d c f\r\n");
    std::string output;
    EXPECT_EQ(Replay("-e 'replace r /[a-c-e]/X/' " + Path("class.txt"), output), 0) << output;
    EXPECT_EQ(Read("class.txt"), "x-X X f\r\n");
}

TEST_F(ReplayTest, TypingOverABlockReplacesItByDefault) {
    Write("over.txt", "abcdef\r\n");
    std::string output;
    EXPECT_EQ(Replay("-e 'select_char_right 3 ; type X' " + Path("over.txt"), output), 0) << output;
    EXPECT_EQ(Read("over.txt"), "Xdef\r\n");
}

}  // namespace
