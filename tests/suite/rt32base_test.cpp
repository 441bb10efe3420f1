#include "suite/rt32base/rt32base.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string Strip(std::string path) {
    NameStripFile(path.data());
    return path.c_str();
}

TEST(NameStripFile, KeepsTheDirectoryWithItsSeparator) {
    EXPECT_EQ(Strip("/opt/farvane/libfvhpilot.so"), "/opt/farvane/");
    EXPECT_EQ(Strip("C:\\FARV\\FVHPILOT.DLL"), "C:\\FARV\\");
    EXPECT_EQ(Strip("/lib.so"), "/");
    EXPECT_EQ(Strip("/opt/dir/"), "/opt/dir/");
}

TEST(NameStripFile, ABareNameBecomesEmptyAndNullIsHarmless) {
    EXPECT_EQ(Strip("file.ini"), "");
    EXPECT_EQ(Strip(""), "");
    EXPECT_EQ(NameStripFile(nullptr), nullptr);
}

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/rt32base-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    std::string Make(const std::string& name, const std::string& text) {
        std::string path = dir_ + "/" + name;
        std::ofstream(path) << text;
        return path;
    }
    std::string dir_;
};

TEST_F(TempDir, FileExistsSeesFilesOnly) {
    std::string file = Make("a.txt", "x");
    EXPECT_NE(FileExists(file.c_str()), 0);
    EXPECT_EQ(FileExists(dir_.c_str()), 0);
    EXPECT_EQ(FileExists((dir_ + "/missing").c_str()), 0);
    EXPECT_EQ(FileExists(""), 0);
    EXPECT_EQ(FileExists(nullptr), 0);
}

TEST_F(TempDir, FileRenameMovesAndNeverReplaces) {
    std::string from = Make("from.txt", "payload");
    std::string to = dir_ + "/to.txt";
    ASSERT_EQ(FileRename(from.c_str(), to.c_str()), 0);
    EXPECT_EQ(FileExists(from.c_str()), 0);
    EXPECT_NE(FileExists(to.c_str()), 0);

    // An existing target is kept as it was, and the source stays.
    std::string other = Make("other.txt", "other");
    EXPECT_NE(FileRename(other.c_str(), to.c_str()), 0);
    std::ifstream in(to);
    std::string kept;
    in >> kept;
    EXPECT_EQ(kept, "payload");
    EXPECT_NE(FileExists(other.c_str()), 0);

    EXPECT_NE(FileRename((dir_ + "/missing").c_str(), (dir_ + "/x").c_str()), 0);
    EXPECT_NE(FileRename(nullptr, to.c_str()), 0);
    EXPECT_NE(FileRename(to.c_str(), ""), 0);
}

TEST(RTstrchr, FindsTheFirstOccurrence) {
    const char* text = "a /L /W";
    EXPECT_EQ(RTstrchr(text, '/'), text + 2);
    EXPECT_EQ(RTstrchr(text + 3, '/'), text + 5);
    EXPECT_EQ(RTstrchr(text, 'q'), nullptr);
    EXPECT_EQ(RTstrchr(text, '\0'), nullptr);
    EXPECT_EQ(RTstrchr(nullptr, 'a'), nullptr);
}

}  // namespace
