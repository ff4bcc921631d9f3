// record: plays a key script through the demo recorder and writes the level with the new demo.
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "Commands.h"
#include "Json.h"
#include "LevelJson.h"
#include "demo/DemoScript.h"
#include "level/LevelWriter.h"
#include "util/FileIO.h"

namespace tessarin::cli {

std::string recordCommand(const Args& args) {
    std::vector<std::string> files;
    std::string script;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--keys" && i + 1 < args.size() && script.empty()) script = args[++i];
        else if (!args[i].starts_with("--") && files.size() < 2) files.push_back(args[i]);
        else throw usageError("record");
    }
    if (files.size() != 2 || script.empty()) throw usageError("record");
    const std::string& file = files[0];
    const std::string& out = files[1];

    // Everything is checked before OUT is touched, so a refusal leaves no file behind.
    std::error_code ec;
    if (std::filesystem::is_directory(script, ec)) throw CliError(script + ": is a folder, not a key script");
    auto text = util::readFile(script);
    if (!text) throw CliError(text.error());
    auto steps = demo::parseDemoScript(
        std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
    if (!steps) throw CliError(script + ": " + steps.error());

    level::TRLevel level = loadOrThrow(file);
    if (!demo::canHoldDemo(level)) throw CliError(file + ": " + demo::kDemoVersionMessage);
    auto run = demo::RecordDemoScript(level, *steps);
    if (!run) throw CliError(file + ": " + run.error());

    if (std::string why = level::WriteRefusal(level); !why.empty()) throw CliError(file + ": " + why);
    if (auto st = level::SaveLevel(out, level); !st) throw CliError(st.error());
    // The window says so when it happens; a script's steps past that point are lost as silently
    // otherwise. The level is written all the same, with the demo it holds.
    if (run->Full)
        std::fprintf(stderr, "tessarin2-cli: %s: the demo filled up (8191 words, about 4.5 minutes of play) before "
                     "the script ended; its later steps were not recorded\n", script.c_str());

    Json j;
    j.beginObject();
    j.field("output", out);
    j.field("bytes", static_cast<std::int64_t>(level::SavedFileSize(level)));
    j.field("toggles", run->Toggles);
    j.key("demo").beginArray();
    for (std::int32_t word : level.DemoData) j.value(word);
    j.endArray();
    j.endObject();
    return j.str();
}

}  // namespace tessarin::cli
