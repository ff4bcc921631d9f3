#include "support/CliRun.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace tessarin::test {

CliRun runCli(const std::string& args) {
    CliRun run;
    const std::string errFile = "/tmp/tessarin-cli-err-" + std::to_string(::getpid());
    const std::string cmd = std::string(TESSARIN_CLI_PATH) + " " + args + " 2>" + errFile;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return run;
    std::array<char, 65536> buf{};
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) run.out.append(buf.data(), n);
    const int status = pclose(p);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    std::stringstream ss;
    ss << err.rdbuf();
    run.err = ss.str();
    std::remove(errFile.c_str());
    return run;
}

void expectCleanFailure(const CliRun& run, const std::string& what) {
    EXPECT_EQ(run.exitCode, 1) << what;
    EXPECT_TRUE(run.out.empty()) << what << ": " << run.out;
    ASSERT_FALSE(run.err.empty()) << what;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << what << ": " << run.err;
}

}  // namespace tessarin::test
