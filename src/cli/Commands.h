#pragma once
// The subcommands of tessarin2-cli. Each returns the JSON document to print, or throws CliError.
// A command with a long document (info) writes its beginning to stdout itself and returns the rest.
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin::cli {

// A failure the command reports on stderr with exit code 1.
class CliError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure about a file: "path: error", unless the error names the file itself already (a file
// that can't be opened or written is named by its own message).
inline CliError fileError(const std::string& path, const std::string& error) {
    const std::string named = path + ": ";
    const bool namesIt = error.rfind(named, 0) == 0 || error.find(" " + named) != std::string::npos;
    return CliError(namesIt ? error : named + error);
}

using Args = std::vector<std::string>;

// A command: its name, what runs it, its arguments and what it prints (the last two for its usage
// error and the --help list).
struct Command {
    std::string_view name;
    std::string (*run)(const Args&);
    std::string_view arguments;
    std::string_view purpose;
};
std::span<const Command> commands();
// "usage: tessarin2-cli NAME ARGUMENTS", for a command called with arguments it can't take.
CliError usageError(std::string_view command);

std::string infoCommand(const Args& args);
std::string tilesCommand(const Args& args);
std::string resaveCommand(const Args& args);
std::string convertCommand(const Args& args);
std::string triggersCommand(const Args& args);
std::string sectorCommand(const Args& args);
std::string recordCommand(const Args& args);
std::string exportMapCommand(const Args& args);
std::string exportTexturesCommand(const Args& args);
std::string polysCommand(const Args& args);
std::string staticsCommand(const Args& args);
std::string roomAtCommand(const Args& args);

}  // namespace tessarin::cli
