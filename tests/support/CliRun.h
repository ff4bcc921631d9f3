#pragma once
// Runs the real tessarin2-cli and captures its exit code, stdout and stderr.
#include <string>

namespace tessarin::test {

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// `args` is appended to the command as it stands (quote paths with blanks yourself).
CliRun runCli(const std::string& args);

}  // namespace tessarin::test
