#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "editor/core/documents.h"
#include "editor/core/file_save.h"
#include "editor/core/text_primitives.h"
#include "editor_fixture.h"
#include "platform/kernel/notification.h"

namespace {

class NotificationTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        const char* old = std::getenv("FARVANE_RUNTIME_DIR");
        saved_ = old != nullptr ? old : "";
        hadOld_ = old != nullptr;
        setenv("FARVANE_RUNTIME_DIR", PathOf("run").c_str(), 1);
    }
    void TearDown() override {
        if (hadOld_) {
            setenv("FARVANE_RUNTIME_DIR", saved_.c_str(), 1);
        } else {
            unsetenv("FARVANE_RUNTIME_DIR");
        }
        EditorTest::TearDown();
    }

private:
    std::string saved_;
    bool hadOld_ = false;
};

TEST_F(NotificationTest, PostsReachTheListenerOfTheirChannelOnly) {
    EXPECT_EQ(NotificationPost("WINFV32", "SCRIPTSAVE"), 0);  // nobody listens: no error
    NotificationListener* main = NotificationListen("WINFV32");
    NotificationListener* odd = NotificationListen("../odd/name");
    ASSERT_NE(main, nullptr);
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(NotificationPost("WINFV32", "SCRIPTSAVE"), 1);
    char message[64];
    EXPECT_EQ(NotificationReceive(main, message, sizeof message, 1000), 10);
    EXPECT_STREQ(message, "SCRIPTSAVE");
    EXPECT_EQ(NotificationReceive(odd, message, sizeof message, 10), 0);
    EXPECT_EQ(NotificationPost("../odd/name", "x"), 1);
    EXPECT_EQ(NotificationReceive(odd, message, sizeof message, 1000), 1);
    EXPECT_EQ(NotificationPost("WINFV32", ""), -1);
    EXPECT_EQ(NotificationPost(std::string(5000, 'n').c_str(), "x"), -1);
    NotificationClose(odd);
    NotificationClose(main);
    EXPECT_EQ(NotificationPost("WINFV32", "SCRIPTSAVE"), 0);
}

TEST_F(NotificationTest, ListenerLeftBehindIsReplacedButALiveOneIsNot) {
    NotificationListener* first = NotificationListen("TERMWindow");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(NotificationListen("TERMWindow"), nullptr);
    NotificationClose(first);
    // A socket file without a listener, as a program that crashed leaves it behind.
    int socketFd = socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string path = PathOf("run") + "/notify-TERMWindow";
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ASSERT_EQ(bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(socketFd);
    ASSERT_TRUE(Exists(path));
    NotificationListener* replaced = NotificationListen("TERMWindow");
    ASSERT_NE(replaced, nullptr);
    EXPECT_EQ(NotificationPost("TERMWindow", "hello"), 1);
    NotificationClose(replaced);
    EXPECT_FALSE(Exists(path));
}

TEST_F(NotificationTest, EverySaveTellsTheSuitePrograms) {
    NotificationListener* main = NotificationListen("WINFV32");
    NotificationListener* terminal = NotificationListen("TERMWindow");
    ASSERT_NE(main, nullptr);
    ASSERT_NE(terminal, nullptr);
    WriteBytes(PathOf("s.scr"), "x\r\n");
    ASSERT_TRUE(OpenDocument(PathOf("s.scr").c_str(), 0, 0, true));
    InsertChars("y", 1);
    ASSERT_TRUE(SaveBuffer(pbufCurrent));
    char message[64];
    EXPECT_EQ(NotificationReceive(main, message, sizeof message, 1000), 10);
    EXPECT_STREQ(message, "SCRIPTSAVE");
    EXPECT_EQ(NotificationReceive(terminal, message, sizeof message, 1000), 10);
    EXPECT_TRUE(SaveBuffer(pbufCurrent));  // nothing to save: nothing posted
    EXPECT_EQ(NotificationReceive(main, message, sizeof message, 10), 0);
    NotificationClose(main);
    NotificationClose(terminal);
}

}  // namespace
