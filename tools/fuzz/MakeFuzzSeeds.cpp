// make-fuzz-seeds: writes the seed corpus of every fuzz target from the level generator and the
// sample-level descriptions, so the fuzzers start from valid files of every kind.
//
//   make-fuzz-seeds OUTDIR SAMPLE.txt...
//
// OUTDIR/<target>/ gets one file per seed; nothing comes from a game file.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "convert/SWD.h"
#include "editor/ObjectNames.h"
#include "level/Mesh.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/LevelFactory.h"
#include "levelgen/SampleLevels.h"
#include "registry/MemoryRegistry.h"
#include "registry/RegFile.h"
#include "registry/RegisterMod.h"
#include "registry/ShellVerbs.h"

namespace fs = std::filesystem;
using namespace tessarin;

namespace {

fs::path g_out;

void put(const std::string& target, const std::string& name, std::span<const std::uint8_t> bytes) {
    const fs::path dir = g_out / target;
    fs::create_directories(dir);
    std::ofstream f(dir / name, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f) throw std::runtime_error("cannot write " + (dir / name).string());
}

// fuzz_edit's input: a script that visits a few sectors and makes every kind of edit there, undoing
// and redoing some, then the level.
std::vector<std::uint8_t> editScript(std::span<const std::uint8_t> level) {
    std::vector<std::uint8_t> script;
    for (std::uint8_t sector = 0; sector < 4; ++sector) {
        const std::uint8_t steps[][3] = {{0, sector, 0}, {1, sector, sector}, {2, 0, 0}, {3, 1, 0}, {4, 1, 0},
                                         {5, 0, 0}, {6, sector, 0}, {7, 0, 0}, {9, 1, 0}, {3, 5, 0},
                                         {8, 0, 0}, {10, 0, 0}, {11, 0, 0}, {7, 0, 0}};
        for (const auto& step : steps) script.insert(script.end(), step, step + 3);
    }
    std::vector<std::uint8_t> in{static_cast<std::uint8_t>(script.size()), static_cast<std::uint8_t>(script.size() >> 8)};
    in.insert(in.end(), script.begin(), script.end());
    in.insert(in.end(), level.begin(), level.end());
    return in;
}

// Every target that can take a level of this version gets its seed.
void putLevel(const std::string& name, const level::TRLevel& level) {
    const std::int16_t version = level.LevelVersion;
    const auto bytes = levelgen::buildLevel(level, version);
    if (version == level::kVersionTR5) {
        put("fuzz_level_tr5", name, bytes);
        put("fuzz_level_data_tr5", name, fuzz::tr5LevelData(bytes));
    } else {
        put("fuzz_level", name, bytes);
    }
    if (version <= level::kVersionTR3) {
        put("fuzz_sector", name, bytes);
        put("fuzz_views", name, bytes);
        put("fuzz_edit", name, editScript(bytes));
    }
    if (version == level::kVersionTR4) {
        const auto data = fuzz::tr4LevelData(bytes);
        put("fuzz_level_data_tr4", name, data);
        put("fuzz_views_tr4", name, data);
        put("fuzz_convert", name, data);
        put("fuzz_convert_file", name, bytes);
    }

    std::vector<std::uint8_t> words;
    for (auto w : level.FloorData) {
        words.push_back(static_cast<std::uint8_t>(w));
        words.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    if (words.size() > 2) put("fuzz_floordata", name, words);

    // Each distinct mesh of the level as version byte, position, mesh data.
    std::vector<std::int32_t> seen;
    for (auto pointer : level.MeshPointers) {
        if (pointer < 0 || pointer > 0xFFFF || static_cast<std::size_t>(pointer) >= level.MeshData.size()) continue;
        if (std::find(seen.begin(), seen.end(), pointer) != seen.end() || seen.size() >= 4) continue;
        seen.push_back(pointer);
        std::vector<std::uint8_t> in{static_cast<std::uint8_t>(version - 1), static_cast<std::uint8_t>(pointer),
                                     static_cast<std::uint8_t>(pointer >> 8)};
        in.insert(in.end(), level.MeshData.begin(), level.MeshData.end());
        put("fuzz_mesh", name + "-mesh" + std::to_string(pointer), in);
    }
}

void putSpriteFiles() {
    convert::SWDData swd;
    swd.Header = 1;
    level::TRSpriteTexture t;
    t.Width = 0x1F00;
    t.Height = 0x1F00;
    t.RightSide = 31;
    t.BottomSide = 31;
    swd.SpriteTextures = {t, t};
    swd.Pixels.assign(convert::kSWDRowBytes * 4, 0xFF);
    swd.SpriteSequences = {{190, -2, 0}, {191, -1, 1}};
    put("fuzz_swd", "small.swd", convert::SerializeSWD(swd));
    put("fuzz_swd", "empty.swd", convert::SerializeSWD({}));
}

void putObjectNames() {
    editor::ObjectNameSections s;
    s.tr4 = {"LARA", "PISTOLS_ANIM", "UZI_ANIM"};
    s.statics = {"PLANT0", "PLANT1"};
    s.tr3 = {"Lara", "Lara pistol animation", "\xe9t\xe9"};
    s.tr2 = {"Lara"};
    s.tr1 = {"Lara", "Lara pistol animation"};
    s.tr5 = {"LARA", "LARA_PISTOLS"};
    put("fuzz_object_names", "small.dat", editor::SerializeObjectNames(s));
    put("fuzz_object_names", "empty.dat", editor::SerializeObjectNames({}));
}

// The store as a start leaves it, and an export with the forms other editors write.
void putRegistryFiles() {
    registry::MemoryRegistry store;
    registry::RegisterMod reg(store, [](const std::string&, const std::string&) {});
    registry::RegisterProgramKeys(reg);
    registry::RegisterShellVerbs(reg, "/opt/tessarin 2");
    const std::string text = registry::formatRegFile(store);
    put("fuzz_regfile", "registered.reg", std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    const std::string other = "REGEDIT4\r\n; a comment\r\n[HKEY_CURRENT_USER\\Software\\X]\r\n"
                              "\"n\"=dword:0000002a\r\n\"b\"=hex:01,ff,\\\r\n  02\r\n@=\"a \\\"q\\\"\"\r\n"
                              "\"m\"=hex(7):61,00,00,00\r\n";
    put("fuzz_regfile", "export.reg", std::span(reinterpret_cast<const std::uint8_t*>(other.data()), other.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: make-fuzz-seeds OUTDIR [SAMPLE.txt...]\n";
        return 2;
    }
    g_out = argv[1];
    try {
        for (std::int16_t v = level::kVersionTR1; v <= level::kVersionTR5; ++v) {
            putLevel("every-list-tr" + std::to_string(v), levelgen::everyListLevel(v));
            putLevel("empty-tr" + std::to_string(v), levelgen::emptyLevel(v));
        }
        for (int i = 2; i < argc; ++i) {
            std::ifstream in(argv[i], std::ios::binary);
            if (!in) throw std::runtime_error(std::string("cannot read ") + argv[i]);
            std::ostringstream text;
            text << in.rdbuf();
            putLevel(fs::path(argv[i]).stem().string(), levelgen::composeSampleLevel(text.str()));
        }
        putSpriteFiles();
        putObjectNames();
        putRegistryFiles();
    } catch (const std::exception& e) {
        std::cerr << "make-fuzz-seeds: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
