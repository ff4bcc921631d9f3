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

// A failure is one line on stderr, exit 1 and nothing on stdout (`what` names the case).
void expectCleanFailure(const CliRun& run, const std::string& what);

}  // namespace tessarin::test
