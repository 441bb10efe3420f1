// fvedit-replay comparing two files step by step and finding files, run as a program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

class ReplayFileToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/fvedit-replay-tools-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        setenv("XDG_STATE_HOME", folder_.c_str(), 1);
        setenv("FARVANE_WINDIR", folder_.c_str(), 1);
    }
    void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(Path(name), std::ios::binary);
        out << bytes;
    }
    // Runs the script over the first file, in the test's folder; returns the exit code and
    // fills output with stdout and stderr.
    int Replay(const std::string& script, std::string& output) const {
        std::string command = "cd '" + folder_ + "' && " + FVEDIT_REPLAY_PROGRAM + " -n -e '" +
                              script + "' " + Path("first.txt") + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        output.clear();
        char chunk[4096];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
            output.append(chunk, n);
        }
        int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    std::string folder_;
};

TEST_F(ReplayFileToolsTest, CompareStepsThroughEveryDifference) {
    Write("first.txt", "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\n");
    Write("second.txt", "a\r\nB\r\nc\r\nd\r\nnew\r\ne\r\nf\r\ng\r\n");
    std::string output;
    EXPECT_EQ(Replay("compare first.txt second.txt", output), 0) << output;
    EXPECT_EQ(output,
              "Files differ at line 2\nMatch found at line 3\nFiles differ at line 5\n"
              "Match found at line 5 (6)\nNo more differences\n");
    EXPECT_EQ(Replay("compare first.txt second.txt 6 7", output), 0) << output;
    EXPECT_EQ(output, "No differences found\n");
    EXPECT_EQ(Replay("compare first.txt missing.txt", output), 1);
    EXPECT_NE(output.find("Unable to open missing.txt"), std::string::npos) << output;
    EXPECT_EQ(Replay("compare first.txt", output), 2);
}

TEST_F(ReplayFileToolsTest, FindFilesPrintsTheFilesFound) {
    Write("first.txt", "Key here\r\n");
    Write("second.scr", "no\r\nkey\r\n");
    Write("third.txt", "nothing\r\n");
    mkdir(Path("sub").c_str(), 0700);
    Write("sub/deep.txt", "a KEY\r\n");
    std::string output;
    EXPECT_EQ(Replay("findfiles - /key/*.txt *.scr sub/*.txt/", output), 0) << output;
    EXPECT_EQ(output, "found 3\n" + Path("first.txt") + "\n" + Path("second.scr") + "\n" +
                          Path("sub/deep.txt") + "\n");
    EXPECT_EQ(Replay("findfiles c /key/*.*/", output), 0) << output;
    EXPECT_EQ(output, "found 1\n" + Path("second.scr") + "\n");
    EXPECT_EQ(Replay("findfiles r /%K?y/*.txt/", output), 0) << output;
    EXPECT_EQ(output, "found 1\n" + Path("first.txt") + "\n");
    EXPECT_EQ(Replay("findfiles - /absent/*.txt/", output), 1) << output;
    EXPECT_NE(output.find("Pattern not found"), std::string::npos) << output;
}

}  // namespace
