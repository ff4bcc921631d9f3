// make-level: builds level files with the level generator, never with the program's writer.
//
//   make-level sample DESCRIPTION.txt OUT      the level a text description sets out
//   make-level large OUT [--version V] [--rooms N] [--sectors N] [--items N] [--triggers N]
//                        [--faces N] [--seed N]
//
// Prints one line about the level written; on an error, one line on stderr and exit status 1.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "levelgen/LevelBuilder.h"
#include "levelgen/SampleLevels.h"

namespace {

using namespace tessarin;

int usage() {
    std::cerr << "usage: make-level sample DESCRIPTION.txt OUT\n"
                 "       make-level large OUT [--version V] [--rooms N] [--sectors N] [--items N]"
                 " [--triggers N] [--faces N] [--seed N]\n";
    return 2;
}

void writeLevel(const level::TRLevel& level, const std::string& out) {
    const auto bytes = levelgen::buildLevel(level, level.LevelVersion);
    // Written beside the target and renamed, so an interrupted build leaves no half level behind.
    const std::string temp = out + ".part";
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!f) throw levelgen::BuildError("cannot write " + temp);
    }
    if (std::rename(temp.c_str(), out.c_str()) != 0) throw levelgen::BuildError("cannot rename " + temp + " to " + out);
    std::cout << out << ": TR" << level.LevelVersion << ", " << level.Rooms.size() << " rooms, " << level.Items.size()
              << " items, " << bytes.size() << " bytes\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string mode = argv[1];
    try {
        if (mode == "sample") {
            if (argc != 4) return usage();
            std::ifstream in(argv[2], std::ios::binary);
            if (!in) throw levelgen::BuildError(std::string("cannot read ") + argv[2]);
            std::ostringstream text;
            text << in.rdbuf();
            writeLevel(levelgen::composeSampleLevel(text.str()), argv[3]);
            return 0;
        }
        if (mode == "large") {
            levelgen::LargeLevelParams p;
            for (int i = 3; i < argc; i += 2) {
                if (i + 1 >= argc) return usage();
                const std::string key = argv[i];
                const long v = std::stol(argv[i + 1]);
                if (key == "--version") p.version = static_cast<std::int16_t>(v);
                else if (key == "--rooms") p.rooms = static_cast<int>(v);
                else if (key == "--sectors") p.sectorsPerSide = static_cast<int>(v);
                else if (key == "--items") p.items = static_cast<int>(v);
                else if (key == "--triggers") p.triggersPerRoom = static_cast<int>(v);
                else if (key == "--faces") p.facesPerRoom = static_cast<int>(v);
                else if (key == "--seed") p.seed = static_cast<std::uint32_t>(v);
                else return usage();
            }
            writeLevel(levelgen::composeLargeLevel(p), argv[2]);
            return 0;
        }
        return usage();
    } catch (const std::exception& e) {
        std::cerr << "make-level: " << e.what() << "\n";
        return 1;
    }
}
