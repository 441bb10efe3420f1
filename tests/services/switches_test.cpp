// The command-line switches of the service programs.
#include <gtest/gtest.h>

#include "services/shell/switches.h"

namespace {

struct Parsed {
    std::string line;
    ShellSwitches switches;
};

Parsed Parse(std::string line, const char* accepted = "LWX") {
    Parsed parsed;
    ParseSwitches(line, accepted, parsed.switches);
    parsed.line = line;
    return parsed;
}

TEST(ParseSwitchesTest, SwitchesBecomeBlanksAndOnlyTrailingBlanksAreCut) {
    Parsed leading = Parse("/W C:\\fv\\host.chf");
    EXPECT_EQ(leading.switches.w, 1);
    EXPECT_EQ(leading.line, "   C:\\fv\\host.chf");
    Parsed trailing = Parse("C:\\fv\\host.chf /w");
    EXPECT_EQ(trailing.switches.w, 1);
    EXPECT_EQ(trailing.line, "C:\\fv\\host.chf");
    Parsed middle = Parse("a /l b");
    EXPECT_EQ(middle.switches.l, 1);
    EXPECT_EQ(middle.line, "a    b");
    EXPECT_EQ(Parse("/W /L").line, "");
}

TEST(ParseSwitchesTest, XTakesTheRestOfTheLine) {
    Parsed parsed = Parse("host.chf /Xword and more /L");
    EXPECT_EQ(parsed.switches.x, 1);
    EXPECT_EQ(parsed.switches.xText, "word and more /L");
    EXPECT_EQ(parsed.switches.l, 1);
    EXPECT_EQ(parsed.line, "host.chf   word and more");
    Parsed none = Parse("host.chf");
    EXPECT_EQ(none.switches.x, 0);
    EXPECT_EQ(none.switches.xText, "");
}

TEST(ParseSwitchesTest, OtherLettersAndLoneSlashesStay) {
    EXPECT_EQ(Parse("/dir/host.chf").line, "/dir/host.chf");
    EXPECT_EQ(Parse("host.chf /Q").line, "host.chf /Q");
    EXPECT_EQ(Parse("host.chf /").line, "host.chf /");
    // Slashes inside a path are no switches, whatever letter follows them.
    Parsed path = Parse("/work/lisa/x.chf /W");
    EXPECT_EQ(path.switches.l + path.switches.x, 0);
    EXPECT_EQ(path.switches.w, 1);
    EXPECT_EQ(path.line, "/work/lisa/x.chf");
    EXPECT_EQ(Parse("/W/L x").line, "/W/L x");  // a path, not two switches
    EXPECT_EQ(Parse("dir/x.chf").line, "dir/x.chf");
}

TEST(ParseSwitchesTest, TheGatewayKnowsOnlyW) {
    Parsed parsed = Parse("/L relay.gwf /X /w", "W");
    EXPECT_EQ(parsed.switches.w, 1);
    EXPECT_EQ(parsed.switches.l, 0);
    EXPECT_EQ(parsed.switches.x, 0);
    EXPECT_EQ(parsed.line, "/L relay.gwf /X");
}

}  // namespace
