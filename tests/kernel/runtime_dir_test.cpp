#include "platform/kernel/runtime_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>

namespace {

class RuntimeDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/farvane-rundir-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        unsetenv("FARVANE_RUNTIME_DIR");
    }
    void TearDown() override {
        unsetenv("FARVANE_RUNTIME_DIR");
        std::filesystem::remove_all(folder_);
    }
    std::string folder_;
};

}  // namespace

TEST(EscapeName, KeepsOnlyPlainBytes) {
    EXPECT_EQ(KernelEscapeName("FVREM327_SEMAPHORE"), "FVREM327_SEMAPHORE");
    EXPECT_EQ(KernelEscapeName("C: FV SESSIONS HOST1.SES"), "C%3A%20FV%20SESSIONS%20HOST1%2ESES");
    EXPECT_EQ(KernelEscapeName("../a/b"), "%2E%2E%2Fa%2Fb");
    EXPECT_EQ(KernelEscapeName(std::string_view("\xff\x00-", 3)), "%FF%00-");
    // The escape character itself is escaped, so different names never meet.
    EXPECT_NE(KernelEscapeName("%2E"), KernelEscapeName("."));
}

TEST(EscapeName, LongNamesFitInAFileNameAndStayApart) {
    std::set<std::string> seen;
    for (char last = 'a'; last <= 'z'; ++last) {
        const std::string name = std::string(300, '.') + last;
        const std::string escaped = KernelEscapeName(name);
        EXPECT_LE(escaped.size(), 180u);
        EXPECT_EQ(escaped.find_first_of("/."), std::string::npos);
        seen.insert(escaped);
    }
    EXPECT_EQ(seen.size(), 26u);
}

TEST_F(RuntimeDirectory, CreatesTheChosenFolderPrivately) {
    const std::string wanted = folder_ + "/a/b";
    setenv("FARVANE_RUNTIME_DIR", (wanted + "/").c_str(), 1);
    EXPECT_EQ(KernelRuntimeDirectory(), wanted);
    struct stat status {};
    ASSERT_EQ(stat(wanted.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
}

TEST_F(RuntimeDirectory, FallsBackToTheSessionRuntimeFolder) {
    const char* previous = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    EXPECT_EQ(KernelRuntimeDirectory(), folder_ + "/farvane");
    if (previous != nullptr) {
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    } else {
        unsetenv("XDG_RUNTIME_DIR");
    }
}

TEST_F(RuntimeDirectory, RefusesLinksRelativePathsAndFiles) {
    const std::string target = folder_ + "/target";
    ASSERT_EQ(mkdir(target.c_str(), 0700), 0);
    const std::string link = folder_ + "/link";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    setenv("FARVANE_RUNTIME_DIR", link.c_str(), 1);
    EXPECT_EQ(KernelRuntimeDirectory(), "");
    setenv("FARVANE_RUNTIME_DIR", "relative/folder", 1);
    EXPECT_EQ(KernelRuntimeDirectory(), "");
    const std::string file = folder_ + "/file";
    std::fclose(std::fopen(file.c_str(), "w"));
    setenv("FARVANE_RUNTIME_DIR", file.c_str(), 1);
    EXPECT_EQ(KernelRuntimeDirectory(), "");
}

TEST_F(RuntimeDirectory, RefusesAFolderOfAnotherUser) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can give a folder to another user";
    }
    const std::string foreign = folder_ + "/foreign";
    ASSERT_EQ(mkdir(foreign.c_str(), 0700), 0);
    ASSERT_EQ(chown(foreign.c_str(), 65534, 65534), 0);
    setenv("FARVANE_RUNTIME_DIR", foreign.c_str(), 1);
    EXPECT_EQ(KernelRuntimeDirectory(), "");
}
