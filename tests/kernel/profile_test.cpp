#include "platform/kernel/profile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/kernel/synch.h"

namespace {

class Profile : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/farvane-profile-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        windir_ = folder_ + "/windows";
        setenv("FARVANE_WINDIR", windir_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("FARVANE_WINDIR");
        std::filesystem::remove_all(folder_);
    }

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }

    void WriteText(const std::string& path, const std::string& text) const {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string ReadText(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string Value(const char* section, const char* key, const std::string& path,
                      const char* fallback = "none") const {
        char buffer[256];
        GetPrivateProfileStringA(section, key, fallback, buffer, sizeof buffer, path.c_str());
        return buffer;
    }

    std::string folder_;
    std::string windir_;
};

const std::string kMessyFile = std::string(
                                   "; comment\r\n"
                                   "junk before any section\r\n"
                                   "[Farvane]\r\n"
                                   "  UserID =  \" ab c \"  \r\n"
                                   "CellWidth=0x20\r\n"
                                   "CellHeight = -3 cells\r\n"
                                   "Empty=\r\n"
                                   "\t[farvane]\r\n"
                                   "UserID=second\r\n"
                                   "[Other] trailing text\r\n"
                                   "a line without value\r\n"
                                   "key=a=b\r\n"
                                   "bin=\x01\xff") +
                               std::string(1, '\0') + "x\r\n[broken\r\nx=1";

}  // namespace

TEST_F(Profile, ReadsByWin32Rules) {
    const std::string path = Path("messy.ini");
    WriteText(path, kMessyFile);
    EXPECT_EQ(Value("FARVANE", "userid", path), " ab c ");
    EXPECT_EQ(GetPrivateProfileIntA("Farvane", "CellWidth", 7, path.c_str()), 32u);
    EXPECT_EQ(GetPrivateProfileIntA("Farvane", "CellHeight", 7, path.c_str()), 0u - 3u);
    // Present but empty: the string is empty, the number is the default.
    EXPECT_EQ(Value("Farvane", "Empty", path), "");
    EXPECT_EQ(GetPrivateProfileIntA("Farvane", "Empty", 0xFFFF, path.c_str()), 0xFFFFu);
    EXPECT_EQ(GetPrivateProfileIntA("Farvane", "UserID", 5, path.c_str()), 0u);
    EXPECT_EQ(Value("Farvane", "missing", path, "dflt  "), "dflt");
    EXPECT_EQ(Value("Other", "key", path), "a=b");
    EXPECT_EQ(Value("Other", "a line without value", path), "");
    EXPECT_EQ(Value("broken", "x", path), "1");
    EXPECT_EQ(Value("nowhere", "x", path), "none");
    EXPECT_EQ(Value("Farvane", "UserID", Path("absent.ini")), "none");
    EXPECT_EQ(GetPrivateProfileIntA("Farvane", "UserID", 9, Path("absent.ini").c_str()), 9u);
}

TEST_F(Profile, ListsSectionsAndKeysAndCutsToTheBuffer) {
    const std::string path = Path("messy.ini");
    WriteText(path, kMessyFile);
    char buffer[64];
    DWORD length = GetPrivateProfileStringA(nullptr, nullptr, "", buffer, 64, path.c_str());
    EXPECT_EQ(std::string(buffer, length + 1),
              std::string("Farvane\0farvane\0Other\0broken\0", 30));
    length = GetPrivateProfileStringA("other", nullptr, "", buffer, 64, path.c_str());
    EXPECT_EQ(std::string(buffer, length), std::string("a line without value\0key\0bin\0", 29));
    // Cut lists end in two NULs and report size - 2.
    length = GetPrivateProfileStringA(nullptr, nullptr, "", buffer, 10, path.c_str());
    EXPECT_EQ(length, 8u);
    EXPECT_EQ(std::string(buffer, 10), std::string("Farvane\0\0\0", 10));
    length = GetPrivateProfileStringA("Farvane", "UserID", "", buffer, 4, path.c_str());
    EXPECT_EQ(length, 3u);
    EXPECT_STREQ(buffer, " ab");
}

TEST_F(Profile, BareNamesLiveInTheWindowsDirectory) {
    char directory[512];
    EXPECT_EQ(GetWindowsDirectoryA(directory, sizeof directory), windir_.size());
    EXPECT_EQ(directory, windir_);
    EXPECT_EQ(GetWindowsDirectoryA(directory, 3), windir_.size() + 1);
    ASSERT_TRUE(WritePrivateProfileStringA("Farvane", "UserID", "U1", "FARV.INI"));
    EXPECT_EQ(ReadText(windir_ + "/FARV.INI"), "[Farvane]\nUserID=U1\n");
    EXPECT_EQ(Value("farvane", "userid", "FARV.INI"), "U1");

    unsetenv("FARVANE_WINDIR");
    setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
    GetWindowsDirectoryA(directory, sizeof directory);
    EXPECT_EQ(directory, folder_ + "/farvane");
    unsetenv("XDG_CONFIG_HOME");
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    setenv("HOME", folder_.c_str(), 1);
    GetWindowsDirectoryA(directory, sizeof directory);
    EXPECT_EQ(directory, folder_ + "/.config/farvane");
    setenv("HOME", home.c_str(), 1);
}

// A user's own Windows directory gets the installation's FARV.INI the first time it is used,
// and keeps it through later writes; a directory chosen with FARVANE_WINDIR is never seeded.
TEST_F(Profile, AUsersFirstSettingsComeFromTheInstallation) {
    const std::string installed = Path("share");
    std::filesystem::create_directories(installed);
    WriteText(installed + "/FARV.INI", "[Video]\nCellWidth=128\nCellHeight=8\n");
    setenv("FARVANE_DATADIR", installed.c_str(), 1);
    EXPECT_EQ(GetPrivateProfileIntA("Video", "CellWidth", -1, "FARV.INI"), 0xFFFFFFFFu);
    EXPECT_FALSE(std::filesystem::exists(windir_ + "/FARV.INI"));

    unsetenv("FARVANE_WINDIR");
    setenv("XDG_CONFIG_HOME", Path("config").c_str(), 1);
    const std::string own = Path("config/farvane/FARV.INI");
    EXPECT_EQ(GetPrivateProfileIntA("Video", "CellWidth", -1, "FARV.INI"), 128u);
    ASSERT_TRUE(WritePrivateProfileStringA("Farvane", "UserID", "U1", "FARV.INI"));
    EXPECT_EQ(ReadText(own), "[Video]\nCellWidth=128\nCellHeight=8\n[Farvane]\nUserID=U1\n");

    // The user's file is theirs from then on: a changed installation does not overwrite it.
    WriteText(installed + "/FARV.INI", "[Video]\nCellWidth=64\n");
    EXPECT_EQ(GetPrivateProfileIntA("Video", "CellWidth", -1, "FARV.INI"), 128u);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("FARVANE_DATADIR");
}

TEST_F(Profile, WritingChangesOnlyWhatItMust) {
    const std::string path = Path("keep.ini");
    WriteText(path,
              "; settings\r\n[A]\r\nkey = old ; not a comment\r\nother=1\r\n\r\n; B next\r\n"
              "[B]\r\nx=1\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("a", "KEY", "new", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("A", "added", "2", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("C", "k", "v", path.c_str()));
    EXPECT_EQ(ReadText(path),
              "; settings\r\n[A]\r\nkey=new\r\nother=1\r\nadded=2\r\n\r\n; B next\r\n"
              "[B]\r\nx=1\r\n[C]\r\nk=v\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("A", "other", nullptr, path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("B", nullptr, nullptr, path.c_str()));
    EXPECT_EQ(ReadText(path),
              "; settings\r\n[A]\r\nkey=new\r\nadded=2\r\n\r\n; B next\r\n"
              "[C]\r\nk=v\r\n");
    // Only the file itself is left: the temporary file was renamed over it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(Profile, RefusesTextsThatWouldChangeTheFilesStructure) {
    const std::string path = Path("safe.ini");
    const std::string original = "[A]\nkey=1\n";
    WriteText(path, original);
    EXPECT_FALSE(WritePrivateProfileStringA("A", "key", "1\n[Evil]\nx=2", path.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k=x", "1", path.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA("A]x", "k", "1", path.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "k", "1", path.c_str()));
    EXPECT_EQ(ReadText(path), original);
    // A folder where the file should be is left alone.
    std::filesystem::create_directory(Path("folder.ini"));
    EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "1", Path("folder.ini").c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(Path("folder.ini")));
}

TEST_F(Profile, WritesThroughALinkAndKeepsIt) {
    const std::string target = Path("real.ini");
    WriteText(target, "[A]\nk=1\n");
    std::filesystem::create_symlink(target, Path("link.ini"));
    ASSERT_TRUE(WritePrivateProfileStringA("A", "k", "2", Path("link.ini").c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(Path("link.ini")));
    EXPECT_EQ(ReadText(target), "[A]\nk=2\n");
}
