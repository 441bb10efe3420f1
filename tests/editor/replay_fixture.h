// fvedit-replay run as a program: a fresh folder for its files and state, and a way to run it
// and read what it printed.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

class ReplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/fvedit-replay-XXXXXX";
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
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Runs the program; returns its exit code and fills output with stdout and stderr.
    int Replay(const std::string& arguments, std::string& output) const {
        std::string command = std::string(FVEDIT_REPLAY_PROGRAM) + " " + arguments + " 2>&1";
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
