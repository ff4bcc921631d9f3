// tessarin2-cli: the scriptable face of the core. One JSON document on stdout, or one line on
// stderr and exit code 1.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

#include "Commands.h"

namespace {

// No command, or one we don't know: one line on stderr, as every failure.
int usage(const char* unknown) {
    std::string line = "tessarin2-cli: ";
    if (unknown) line += "unknown command \"" + std::string(unknown) + "\"; ";
    line += "usage: tessarin2-cli COMMAND ARGS (commands:";
    for (const tessarin::cli::Command& c : tessarin::cli::commands()) line += " " + std::string(c.name);
    line += "; --help lists them)";
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    std::fprintf(stderr, "%s\n", line.c_str());
    return 1;
}

// Asked for: the list goes to stdout, and asking is not a failure.
int help() {
    std::string text =
        "usage: tessarin2-cli COMMAND ARGS\n"
        "Each command prints one JSON document on stdout and exits 0; on a failure it prints one line\n"
        "on stderr and exits 1. FILE is a level of any version unless said otherwise.\n\n";
    for (const tessarin::cli::Command& c : tessarin::cli::commands()) {
        text += "  " + std::string(c.name) + " " + std::string(c.arguments) + "\n";
        text += "      " + std::string(c.purpose) + "\n";
    }
    return std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage(nullptr);
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h" || first == "help") return help();
    const auto all = tessarin::cli::commands();
    const auto it = std::find_if(all.begin(), all.end(), [&](const auto& c) { return c.name == first; });
    if (it == all.end()) return usage(argv[1]);
    tessarin::cli::Args args(argv + 2, argv + argc);
    try {
        const std::string out = it->run(args);
        // A document that did not get out is a failure, whatever its size (a full disk, a closed pipe).
        if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fputc('\n', stdout) == EOF ||
            std::fflush(stdout) != 0)
            throw std::runtime_error("cannot write the output");
        return 0;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "tessarin2-cli: %s: not enough memory to finish the command\n", argv[1]);
        return 1;
    } catch (const std::exception& e) {
        // One line whatever the message holds: a file name may carry a line break.
        std::string line = e.what();
        for (char& c : line)
            if (c == '\n' || c == '\r') c = ' ';
        std::fprintf(stderr, "tessarin2-cli: %s\n", line.c_str());
        return 1;
    }
}
