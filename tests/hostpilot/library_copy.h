// A copy of the host pilot library in a folder of its own, with an options file beside it:
// the library reads its options from its own folder.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "suite/fvcfgmgr/fvcfgmgr.h"

namespace farvane::hostpilot::testing {

class LibraryCopy {
public:
    explicit LibraryCopy(const char* options) {
        char pattern[] = "/tmp/fvhpilot-XXXXXX";
        EXPECT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        std::filesystem::copy_file(FVHPILOT_LIBRARY, dir_ + "/libfvhpilot.so");
        std::ofstream(dir_ + "/" + FV_OPTIONS_FILE_NAME) << options;
    }
    ~LibraryCopy() { std::filesystem::remove_all(dir_); }
    LibraryCopy(const LibraryCopy&) = delete;
    LibraryCopy& operator=(const LibraryCopy&) = delete;
    std::string Path() const { return dir_ + "/libfvhpilot.so"; }
    std::string Dir() const { return dir_; }

private:
    std::string dir_;
};

}  // namespace farvane::hostpilot::testing
