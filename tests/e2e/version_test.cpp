#include <gtest/gtest.h>

#include "app/version.h"
#include "run_program.h"

namespace kxp40s::e2e {
namespace {

TEST(Version, TheCommandLineToolAndTheSimulatorNameThemselvesAndTheBuildsVersion) {
    for (const std::string program : {"kxp40s-cli", "kxp40s-sim"}) {
        SCOPED_TRACE(program);
        const auto run = runProgram(program, {"--version"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, program + " " + std::string(kVersion) + "\n");
    }
}

}  // namespace
}  // namespace kxp40s::e2e
