// tessarin2-cli: the scriptable face of the core. One JSON document on stdout, or one line on
// stderr and exit code 1.
#include <cstdio>
#include <exception>
#include <functional>
#include <map>
#include <new>
#include <stdexcept>
#include <string>

#include "Commands.h"

namespace {

const std::map<std::string, std::function<std::string(const tessarin::cli::Args&)>>& commands() {
    using namespace tessarin::cli;
    static const std::map<std::string, std::function<std::string(const Args&)>> table = {
        {"info", infoCommand},
        {"tiles", tilesCommand},
        {"resave", resaveCommand},
        {"convert", convertCommand},
        {"triggers", triggersCommand},
        {"sector", sectorCommand},
        {"record", recordCommand},
        {"export-map", exportMapCommand},
        {"export-textures", exportTexturesCommand},
        {"polys", polysCommand},
        {"statics", staticsCommand},
        {"room-at", roomAtCommand},
    };
    return table;
}

int usage() {
    std::fputs("usage: tessarin2-cli COMMAND ARGS (commands:", stderr);
    for (const auto& [name, fn] : commands()) std::fprintf(stderr, " %s", name.c_str());
    std::fputs(")\n", stderr);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const auto it = commands().find(argv[1]);
    if (it == commands().end()) return usage();
    tessarin::cli::Args args(argv + 2, argv + argc);
    try {
        const std::string out = it->second(args);
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
