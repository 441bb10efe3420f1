// fvhost's command line: what a host does when told nothing, and what it refuses.
#include <gtest/gtest.h>

#include "options.h"

namespace {

TEST(FvhostOptions, ListensOnLoopbackOnlyUnlessTold) {
    std::string error;
    std::optional<fvhost::Options> options = fvhost::ParseOptions({}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->listen.host, "127.0.0.1");
    EXPECT_EQ(options->listen.port, 5899);
    EXPECT_FALSE(options->call);
    options = fvhost::ParseOptions({"--listen", "[::]:6000", "--view-only", "--once"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->listen.host, "::");
    EXPECT_TRUE(options->viewOnly && options->once);
}

TEST(FvhostOptions, RefusesWhatItCannotDo) {
    std::string error;
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--listen"},
                                               {"--listen", "nowhere"},
                                               {"--call", "host:0"},
                                               {"--frobnicate"},
                                               {"--demo", "--display", ":1"},
                                               {"--gateway-name", "desk"},
                                               {"--call", "gw:5898", "--gateway-name", "a b"},
                                               {"--call", "gw:5898", "--gateway-name", ""}}) {
        EXPECT_FALSE(fvhost::ParseOptions(bad, error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(FvhostOptions, AGatewayNameGoesWithTheCall) {
    std::string error;
    std::optional<fvhost::Options> options =
        fvhost::ParseOptions({"--gateway-name", "front-desk.1", "--call", "gw:5898"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->gatewayName, "front-desk.1");
    EXPECT_EQ(options->call->port, 5898);
}

}  // namespace
