// tessarin2-cli: exit codes and JSON of the subcommands.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "support/TestPaths.h"

namespace {

struct Run {
    int exitCode = -1;
    std::string out;
};

Run runCli(const std::string& args) {
    Run run;
    const std::string cmd = std::string(TESSARIN_CLI_PATH) + " " + args + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return run;
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) run.out.append(buf.data(), n);
    const int status = pclose(p);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace

TEST(Cli, UnknownCommandFails) {
    EXPECT_EQ(runCli("nonsense").exitCode, 1);
}
