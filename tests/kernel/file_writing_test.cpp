// Making folders and replacing a file whole through a temporary file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/kernel/make_folders.h"
#include "platform/kernel/replace_file.h"

namespace {

namespace fs = std::filesystem;

class FileWriting : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/farvane-files-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Names in the folder besides the ones given.
    std::string Others(const std::string& expected) const {
        std::string others;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            std::string name = entry.path().filename().string();
            if (name != expected) {
                others += name + " ";
            }
        }
        return others;
    }
    static unsigned ModeOf(const std::string& path) {
        struct stat status {};
        stat(path.c_str(), &status);
        return status.st_mode & 07777;
    }

    std::string folder_;
};

TEST_F(FileWriting, MakeFoldersCreatesTheMissingOnesAndRefusesAFile) {
    EXPECT_TRUE(MakeFolders(Path("a/b/c")));
    EXPECT_TRUE(fs::is_directory(Path("a/b/c")));
    EXPECT_EQ(ModeOf(Path("a/b")) & 0700, 0700u);
    EXPECT_TRUE(MakeFolders(Path("a/b/c/")));  // there already, trailing slash
    std::ofstream(Path("file")) << "x";
    EXPECT_FALSE(MakeFolders(Path("file")));
    EXPECT_FALSE(MakeFolders(Path("file/below")));
    EXPECT_FALSE(MakeFolders(""));
}

TEST_F(FileWriting, ReplacesTheContentAndKeepsTheMode) {
    const std::string path = Path("data.bin");
    ASSERT_TRUE(ReplaceFileContent(path.c_str(), "one", 3, {0600}));
    EXPECT_EQ(Read(path), "one");
    EXPECT_EQ(ModeOf(path), 0600u);
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(ReplaceFileContent(path.c_str(), std::string(100000, 'z').data(), 100000));
    EXPECT_EQ(Read(path), std::string(100000, 'z'));
    EXPECT_EQ(ModeOf(path), 0640u) << "an existing file keeps its bits";
    EXPECT_EQ(Others("data.bin"), "");
}

TEST_F(FileWriting, EachFailingStepLeavesTheOldFileAndNoTemporary) {
    const std::string path = Path("keep.txt");
    std::ofstream(path) << "old";
    ReplaceFileStep failed = ReplaceFileStep::None;
    auto refuse = [](int descriptor) {
        (void)!write(descriptor, "part", 4);
        errno = ENOSPC;
        return false;
    };
    EXPECT_FALSE(ReplaceFileContent(path.c_str(), refuse, {}, &failed));
    EXPECT_EQ(failed, ReplaceFileStep::Write);
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(Others("keep.txt"), "");

    EXPECT_FALSE(ReplaceFileContent(Path("no/such/folder.txt").c_str(), "x", 1));
    const std::string inFolder = Path("folder");
    fs::create_directory(inFolder);
    std::ofstream(inFolder + "/inside") << "x";
    EXPECT_FALSE(ReplaceFileContent(
        inFolder.c_str(), [](int) { return true; }, {}, &failed));
    EXPECT_EQ(failed, ReplaceFileStep::Rename) << "a folder is never replaced";
    EXPECT_TRUE(fs::is_directory(inFolder));
    EXPECT_EQ(Others("keep.txt"), "folder ");
}

}  // namespace
