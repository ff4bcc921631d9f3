// convert: a TR4 level into a TR3 or TR2 level, written, with the counts of the converted level;
// --verify reads the written file back and holds it to them.
#include <filesystem>

#include "Commands.h"
#include "Json.h"
#include "LevelJson.h"
#include "convert/BatchConvert.h"
#include "convert/TR4Converter.h"
#include "level/LevelWriter.h"
#include "util/FileIO.h"

namespace tessarin::cli {

namespace {

// The sprite file installed with this executable.
std::filesystem::path defaultSWD() {
    return convert::swdFileBeside(util::programFolder());
}

// The written file read back, refused when it does not read or holds other counts than the level
// it was written from.
void verifyWritten(const std::string& out, const level::TRLevel& converted) {
    const level::TRLevel written = loadOrThrow(out);
    const auto want = levelCounts(converted), got = levelCounts(written);
    if (written.LevelVersion != converted.LevelVersion)
        throw CliError(out + ": reads back as version " + std::to_string(written.LevelVersion) + ", not " +
                       std::to_string(converted.LevelVersion));
    for (std::size_t i = 0; i < want.size(); ++i)
        if (got[i].second != want[i].second)
            throw CliError(out + ": reads back with " + std::to_string(got[i].second) + " " + got[i].first +
                           ", not the " + std::to_string(want[i].second) + " converted");
}

}  // namespace

std::string convertCommand(const Args& args) {
    std::string file, to, out, swd;
    bool verify = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--to" && hasValue) to = args[++i];
        else if (a == "-o" && hasValue) out = args[++i];
        else if (a == "--swd" && hasValue) swd = args[++i];
        else if (a == "--verify") verify = true;
        else if (file.empty() && !a.starts_with("-")) file = a;
        else throw usageError("convert");
    }
    if (file.empty() || (to != "tr3" && to != "tr2")) throw usageError("convert");
    const std::int16_t target = to == "tr3" ? level::kVersionTR3 : level::kVersionTR2;
    if (out.empty()) out = convert::convertedPath(file);
    // The TR4 level cannot be made again from its conversion: it is never written over.
    std::error_code same;
    if (out == file || std::filesystem::equivalent(out, file, same))
        throw CliError(out + ": the output would replace the level it is converted from");
    const std::filesystem::path swdFile = swd.empty() ? defaultSWD() : std::filesystem::path(swd);

    auto converted = convert::ConvertTR4(file, target, swdFile);
    if (!converted) throw fileError(file, converted.error());
    if (auto st = level::SaveLevel(out, *converted); !st) throw fileError(out, st.error());
    if (verify) verifyWritten(out, *converted);

    // The written file holds these counts: the writer refuses a level it cannot write as it is.
    Json j;
    j.beginObject();
    j.field("output", out);
    j.field("version", converted->LevelVersion);
    j.key("counts");
    writeCounts(j, *converted);
    j.endObject();
    return j.str();
}

}  // namespace tessarin::cli
