// make-level: builds level files with the level generator, never with the program's writer.
//
//   make-level sample DESCRIPTION.txt OUT      the level a text description sets out
//   make-level large OUT [--version V] [--rooms N] [--sectors N] [--items N] [--triggers N]
//                        [--faces N] [--seed N]
//   make-level crafted OUTDIR [--scale S] [--only NAME]
//                                            every crafted class for every version it has, as
//                                            OUTDIR/NAME-trV.EXT (tools/crafted-check.sh runs them)
//
// Prints one line about the level written; on an error, one line on stderr and exit status 1.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "levelgen/CraftedLevels.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/SampleLevels.h"

namespace {

using namespace tessarin;

int usage() {
    std::cerr << "usage: make-level sample DESCRIPTION.txt OUT\n"
                 "       make-level large OUT [--version V] [--rooms N] [--sectors N] [--items N]"
                 " [--triggers N] [--faces N] [--seed N]\n"
                 "       make-level crafted OUTDIR [--scale S] [--only NAME]\n";
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

void writeBytes(const std::vector<std::uint8_t>& bytes, const std::string& out) {
    const std::string temp = out + ".part";
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!f) throw levelgen::BuildError("cannot write " + temp);
    }
    if (std::rename(temp.c_str(), out.c_str()) != 0) throw levelgen::BuildError("cannot rename " + temp + " to " + out);
}

int writeCrafted(int argc, char** argv) {
    const std::string dir = argv[2];
    double scale = 1.0;
    std::string only;
    for (int i = 3; i < argc; i += 2) {
        if (i + 1 >= argc) return usage();
        const std::string key = argv[i];
        if (key == "--scale") scale = std::stod(argv[i + 1]);
        else if (key == "--only") only = argv[i + 1];
        else return usage();
    }
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) throw levelgen::BuildError("cannot make the folder " + dir + ": " + ec.message());
    for (const auto& c : levelgen::craftedClasses()) {
        if (!only.empty() && only != c.name) continue;
        for (const std::int16_t v : c.versions) {
            const std::string out = dir + "/" + c.name + "-tr" + std::to_string(v) + levelgen::levelExtension(v);
            const auto bytes = levelgen::buildCrafted(c.name, v, scale);
            writeBytes(bytes, out);
            std::cout << out << "\t" << bytes.size() << "\t" << c.what << "\n";
        }
    }
    return 0;
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
        if (mode == "crafted") return writeCrafted(argc, argv);
        return usage();
    } catch (const std::exception& e) {
        std::cerr << "make-level: " << e.what() << "\n";
        return 1;
    }
}
