// The script assistants' lines, byte for byte, for every command of every assistant; which
// fields each command shows; and the call-host entries of a folder.
#include "editor/core/script_assistants.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "editor_fixture.h"

namespace {

struct Case {
    int id;
    std::map<int, std::string> fields;
    bool variable;
    const char* line;
};

std::string LineOf(const Case& c) {
    const AssistantForm* form = FormOf(AssistantOfId(c.id));
    if (form == nullptr || form->Command(c.id) == nullptr) {
        return "no assistant";
    }
    auto field = [&c](int control) {
        auto found = c.fields.find(control);
        return found != c.fields.end() ? found->second : std::string("?");
    };
    return AssistantLine(*form->Command(c.id), field, c.variable);
}

TEST(ScriptAssistantsTest, EveryCommandWritesItsLineFromItsOwnFields) {
    // Fields a command does not use hold "?", so a wrong operand shows in the line.
    const Case cases[] = {
        {1210, {{1340, "5"}}, false, "WAIT CARRIER 5\r\n"},
        {1220, {{1340, "6"}}, false, "WAIT RECEIVE 6\r\n"},
        {1230, {{1340, "7"}}, false, "WAIT SILENCE 7\r\n"},
        {1240, {{1310, "login"}, {1340, "10"}}, true, "WAIT STRING  login  10\r\n"},
        {1240, {{1310, "login"}, {1340, "10"}}, false, "WAIT STRING \"login\" 10\r\n"},
        {1250, {{1340, "8"}}, false, "WAIT TIME 8\r\n"},
        {1260, {{1330, "0930"}, {1320, "991231"}}, false, "WAIT UNTIL 0930 991231\r\n"},
        {1310, {{1370, "ACME"}}, false, "DIAL HOST \"ACME\"\r\n"},
        {1320, {{1370, "5551234"}}, false, "DIAL NUMBER \"5551234\"\r\n"},
        {1330, {{1370, "svc"}}, true, "DIAL ONLSVC  svc \r\n"},
        {1410,
         {{1510, "buf"}, {1520, "30"}, {1530, "80"}},
         false,
         "RECEIVE STRING \"buf\" 80 30\r\n"},
        {1420, {{1510, "c"}, {1520, "5"}}, false, "RECEIVE CHAR \"c\" 5\r\n"},
        {1430, {{1510, "in.txt"}}, false, "RECEIVE FILE \"in.txt\" \r\n"},
        {1440, {}, false, "RECEIVE CLEAR\r\n"},
        {1450,
         {{1510, "l"}, {1520, "9"}, {1530, "72"}, {1540, "13"}},
         true,
         "RECEIVE LINE  l  72 13 9\r\n"},
        {1510, {{1640, "A"}}, false, "SEND CHAR \"A\"\r\n"},
        {1520, {}, false, "SEND CLEAR\r\n"},
        {1530, {{1640, "out.txt"}}, false, "SEND FILE \"out.txt\"\r\n"},
        {1540, {{1640, "hello"}}, false, "SEND LINE \"hello\"\r\n"},
        {1550, {{1640, "abc"}}, true, "SEND STRING  abc \r\n"},
        {1560, {{1640, "1C"}, {1650, "2"}}, false, "SEND SCANCODE \"1C\" 2\r\n"},
        {1620, {{1690, "host"}}, false, "LOAD HOSTINFO \"host\"\r\n"},
        {1630, {{1690, "onl"}}, false, "LOAD ONLSVCINFO \"onl\"\r\n"},
        {1640, {{1690, "de.trn"}}, true, "LOAD TRANSLATION  de.trn \r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LineOf(c), c.line) << c.id;
    }
}

TEST(ScriptAssistantsTest, IdsOpenTheirAssistantOnlyWithinTheirDialogsHundred) {
    EXPECT_EQ(AssistantOfId(1100), AssistantKind::Session);
    EXPECT_EQ(AssistantOfId(1240), AssistantKind::Wait);
    EXPECT_EQ(AssistantOfId(1310), AssistantKind::Dial);  // 1310 is also a Wait field
    EXPECT_EQ(AssistantOfId(1510), AssistantKind::Send);  // and a Receive field
    EXPECT_EQ(AssistantOfId(1640), AssistantKind::Load);  // and a Send field
    for (int id : {-1, 0, 1200, 1270, 1340, 1610, 1650, 1700, 31550}) {
        EXPECT_EQ(AssistantOfId(id), AssistantKind::None) << id;
    }
    EXPECT_EQ(AssistantDialogId(AssistantKind::Receive), 1400);
    EXPECT_STREQ(AssistantTitle(AssistantKind::Session), "Session Dial");
}

TEST(ScriptAssistantsTest, CommandsShowOnlyTheFieldsTheyUse) {
    const AssistantForm& wait = *FormOf(AssistantKind::Wait);
    const AssistantCommand& until = *wait.Command(1260);
    EXPECT_TRUE(wait.Shows(until, 1330));
    EXPECT_TRUE(wait.Shows(until, 1320));
    EXPECT_FALSE(wait.Shows(until, 1340));
    EXPECT_FALSE(wait.Shows(until, 1350));  // nothing quoted, no "&Variable"
    const AssistantCommand& string = *wait.Command(1240);
    EXPECT_TRUE(wait.Shows(string, 1350));
    EXPECT_FALSE(wait.Shows(string, 1330));
    const AssistantForm& send = *FormOf(AssistantKind::Send);
    for (int field : send.fields) {
        EXPECT_FALSE(send.Shows(*send.Command(1520), field)) << field;  // Clear hides all
    }
    EXPECT_TRUE(send.Shows(*send.Command(1560), 1650));
    EXPECT_FALSE(send.Shows(*send.Command(1550), 1650));
}

TEST(ScriptAssistantsTest, SessionLinesWithDefaultsAndBothDialModes) {
    SessionAssistantFields fields;
    fields.host = "ACME";
    fields.callImmediately = true;
    std::vector<std::string> expected = {"SESSION EXITMODE ACCEPT\r\n",
                                         "SESSION ONERROR END\r\n",
                                         "SESSION OVERWRITES ALWAYS\r\n",
                                         "SESSION TIMEOUT 30\r\n",
                                         "SESSION RETRY 3\r\n",
                                         "SESSION DELAY 30\r\n",
                                         "SESSION DIAL \"ACME\" \r\n",
                                         ";COMMENT: ** insert SESSOPR here ** \r\n",
                                         "SESSION END \r\n"};
    EXPECT_EQ(SessionAssistantLines(fields), expected);
    fields.callImmediately = false;
    fields.cancelAfterSession = true;
    fields.onError = "NEXT";
    fields.overwrites = "OLDER FILES";
    std::vector<std::string> later = SessionAssistantLines(fields);
    EXPECT_EQ(later[0], "SESSION EXITMODE CANCEL\r\n");
    EXPECT_EQ(later[1], "SESSION ONERROR NEXT\r\n");
    EXPECT_EQ(later[2], "SESSION OVERWRITES OLDER FILES\r\n");
    EXPECT_EQ(later[6], "SESSION DIAL \"ACME\" 1200 800101\r\n");
}

TEST(ScriptAssistantsTest, FormatsTakeOperandsInOrderAndCutLongOnes) {
    EXPECT_EQ(FillFormat("%s-%s-%s|%%|%c", '"', {"a", "b"}), "a-b-|%|\"");
    std::string longText(200, 'x');
    std::string line = FillFormat("SEND LINE %c%s%c\r\n", '"', {longText});
    EXPECT_EQ(line, "SEND LINE \"" + std::string(80, 'x') + "\"\r\n");
    EXPECT_EQ(FillFormat("100%", '"', {}), "100%");  // a lone percent sign at the end stays
}

class CallHostTest : public EditorTest {};

TEST_F(CallHostTest, EntriesAreTheChfFilesOfTheFolderInTheOrderListed) {
    EXPECT_TRUE(CallHostEntries(PathOf("missing")).empty());
    for (const char* name : {"ACME.chf", "notes.txt", "Beta.CHF", ".chf", "x.chfx"}) {
        std::ofstream(PathOf(name)) << "x";
    }
    std::vector<std::string> entries = CallHostEntries(Folder());
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"ACME", "Beta"}));
}

}  // namespace
