// The viewer managers' session files and the viewer window's mapping of keys and positions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/ui/user_constants.h"
#include "suite/fvses32/session_files.h"
#include "suite/fvses32/viewer_input.h"

namespace farvane::viewer {
namespace {

namespace fs = std::filesystem;

class SessionFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/session-files-XXXXXX";
        folder_ = mkdtemp(pattern);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string Write(const std::string& text, const std::string& name = "host.chf") {
        std::string path = folder_ + "/" + name;
        std::ofstream(path) << text;
        return path;
    }
    // The error of reading `text` as a callhost file; empty when it reads.
    std::string CallhostError(const std::string& text) {
        CallhostFile file;
        std::string error;
        return ReadCallhostFile(Write(text), &file, &error) ? "" : error;
    }
    std::string folder_;
};

TEST_F(SessionFilesTest, ACallhostFileAsTheReadmeShowsItReadsWithItsComments) {
    const std::string fingerprint = "SHA256:" + std::string(64, 'c');
    CallhostFile file;
    std::string error;
    ASSERT_TRUE(ReadCallhostFile(Write("[Host]\n"
                                       "Address=::1        ; name or IPv4/IPv6 address\n"
                                       "Port=5901\n"
                                       "Fingerprint=" +
                                       fingerprint +
                                       "   ; pinned\n"
                                       "PasswordFile=secret.txt\n"
                                       "[View]\n"
                                       "Capabilities=0x1011\n"
                                       "ReducedColour=2\n"
                                       "ViewOnly=1\n"
                                       "Scale=1:1 ; or fit\n"),
                                 &file, &error))
        << error;
    EXPECT_EQ(file.host.host, "::1");
    EXPECT_EQ(file.host.port, 5901);
    EXPECT_EQ(file.settings.fingerprint, fingerprint);
    EXPECT_EQ(file.settings.passwordFile, folder_ + "/secret.txt");  // beside the file
    EXPECT_EQ(file.view.capabilities, 0x1011);
    EXPECT_EQ(file.view.reducedMode, 2);
    EXPECT_TRUE(file.view.viewOnly);
    EXPECT_FALSE(file.view.fitToWindow);

    // Only an address is needed; the rest has defaults.
    ASSERT_TRUE(ReadCallhostFile(Write("[Host]\nAddress=desk.example\n"), &file, &error));
    EXPECT_EQ(file.host.port, kDefaultHostPort);
    EXPECT_TRUE(file.settings.fingerprint.empty());
    EXPECT_TRUE(file.settings.passwordFile.empty());
    EXPECT_EQ(file.view.capabilities, 0x0011);
    EXPECT_TRUE(file.view.fitToWindow);
    EXPECT_FALSE(file.view.viewOnly);
}

TEST_F(SessionFilesTest, EachBadValueIsNamedWithItsFileAndKey) {
    const struct {
        const char* text;
        const char* said;
    } cases[] = {
        {"", "[Host] Address is missing"},
        {"[Host]\nAddress=h\nPort=0\n", "[Host] Port=0 must be a port from 1 to 65535"},
        {"[Host]\nAddress=h\nPort=65536\n", "[Host] Port=65536 must be a number from 0 to 65535"},
        {"[Host]\nAddress=h\nPort=59x\n", "[Host] Port=59x must be a number"},
        {"[Host]\nAddress=h\nFingerprint=MD5:12\n", "[Host] Fingerprint=MD5:12 must be a key's"},
        {"[Host]\nAddress=h\n[View]\nCapabilities=0x10000\n", "[View] Capabilities=0x10000"},
        {"[Host]\nAddress=h\n[View]\nReducedColour=256\n", "[View] ReducedColour=256"},
        {"[Host]\nAddress=h\n[View]\nViewOnly=yes\n", "[View] ViewOnly=yes must be a number"},
        {"[Host]\nAddress=h\n[View]\nScale=2:1\n", "[View] Scale=2:1 must be fit or 1:1"},
    };
    for (const auto& c : cases) {
        const std::string error = CallhostError(c.text);
        EXPECT_NE(error.find(folder_ + "/host.chf: " + c.said), std::string::npos)
            << c.text << " gave: " << error;
    }
    CallhostFile file;
    std::string error;
    EXPECT_FALSE(ReadCallhostFile(folder_ + "/missing.chf", &file, &error));
    EXPECT_NE(error.find("no such file"), std::string::npos);
    EXPECT_FALSE(ReadCallhostFile(folder_, &file, &error));  // a folder is no callhost file
}

TEST_F(SessionFilesTest, AnOnlineServiceFileNeedsItsListenerAndMayLetTheSystemChooseThePort) {
    OnlineServiceFile file;
    std::string error;
    ASSERT_TRUE(ReadOnlineServiceFile(
        Write("[Listen]\nAddress=0.0.0.0\nPort=0\n[Host]\nPasswordFile=/etc/pw\n", "a.osf"), &file,
        &error))
        << error;
    EXPECT_EQ(file.listen.host, "0.0.0.0");
    EXPECT_EQ(file.listen.port, 0);
    EXPECT_EQ(file.settings.passwordFile, "/etc/pw");
    EXPECT_FALSE(
        ReadOnlineServiceFile(Write("[Listen]\nAddress=127.0.0.1\n", "b.osf"), &file, &error));
    EXPECT_NE(error.find("[Listen] Port is missing"), std::string::npos) << error;
    EXPECT_FALSE(ReadOnlineServiceFile(Write("[Host]\nAddress=127.0.0.1\nPort=1\n", "c.osf"), &file,
                                       &error));
    EXPECT_NE(error.find("[Listen] Address is missing"), std::string::npos) << error;
}

TEST(ViewerInputTest, KeysAreSentAsWhatTheyAreAndCharactersAsWhatTheyType) {
    using namespace farvane::ui;
    EXPECT_EQ(KeysymForKey(VK_RETURN), 0xFF0Du);
    EXPECT_EQ(KeysymForKey(VK_F1), 0xFFBEu);
    EXPECT_EQ(KeysymForKey(VK_F12), 0xFFC9u);
    EXPECT_EQ(KeysymForKey(VK_LEFT), 0xFF51u);
    EXPECT_EQ(KeysymForKey(VK_DELETE), 0xFFFFu);
    EXPECT_EQ(KeysymForKey(VK_CONTROL), 0xFFE3u);
    EXPECT_EQ(KeysymForKey('A'), 0u);  // its character is sent instead
    EXPECT_EQ(KeysymForTyped('a'), static_cast<std::uint32_t>('a'));
    EXPECT_EQ(KeysymForTyped('~'), static_cast<std::uint32_t>('~'));
    EXPECT_EQ(KeysymForTyped(0xE9), 0xE9u);  // Latin-1 keysyms are the characters
    EXPECT_EQ(KeysymForTyped(0x03), static_cast<std::uint32_t>('c'));  // Ctrl+C
    EXPECT_EQ(KeysymForTyped(0x1B), 0u);
    EXPECT_EQ(KeysymForTyped(0x7F), 0u);
    EXPECT_EQ(KeysymForTyped(0x85), 0u);
}

TEST(ViewerInputTest, TheShownPartAndThePointerMapBackToTheHostScreen) {
    // 1:1 in a smaller window, scrolled to the far corner (and past it).
    PictureView view = UnscaledView(1920, 1080, SIZE{800, 600}, POINT{5000, 700});
    EXPECT_EQ(view.dest.right, 800);
    EXPECT_EQ(view.dest.bottom, 600);
    EXPECT_EQ(view.source.left, 1120);
    EXPECT_EQ(view.source.top, 480);
    POINT host{};
    ASSERT_TRUE(HostPointOf(view, POINT{799, 599}, &host));
    EXPECT_EQ(host.x, 1919);
    EXPECT_EQ(host.y, 1079);
    // 1:1 in a larger window: the picture at the top left, the rest outside it.
    view = UnscaledView(320, 240, SIZE{400, 300}, POINT{10, 10});
    EXPECT_EQ(view.source.left, 0);
    EXPECT_EQ(view.dest.right, 320);
    EXPECT_FALSE(HostPointOf(view, POINT{330, 10}, &host));

    // Fitted: proportions kept, centred, borders outside the picture.
    view = FittedView(1920, 1080, SIZE{800, 600});
    EXPECT_EQ(view.dest.left, 0);
    EXPECT_EQ(view.dest.right, 800);
    EXPECT_EQ(view.dest.top, 75);
    EXPECT_EQ(view.dest.bottom, 525);
    EXPECT_FALSE(HostPointOf(view, POINT{400, 10}, &host));
    ASSERT_TRUE(HostPointOf(view, POINT{400, 300}, &host));
    EXPECT_EQ(host.x, 960);
    EXPECT_EQ(host.y, 540);
    ASSERT_TRUE(HostPointOf(view, POINT{799, 524}, &host));
    EXPECT_LT(host.x, 1920);
    EXPECT_LT(host.y, 1080);
    // A tall screen in a wide window, and nothing to show.
    view = FittedView(600, 1200, SIZE{800, 600});
    EXPECT_EQ(view.dest.left, 250);
    EXPECT_EQ(view.dest.right, 550);
    EXPECT_TRUE(FittedView(0, 0, SIZE{800, 600}).dest.right == 0);
}

}  // namespace
}  // namespace farvane::viewer
