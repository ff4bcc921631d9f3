#include "convert/BatchConvert.h"

#include <filesystem>
#include <new>
#include <system_error>

#include "convert/TR4Converter.h"
#include "level/LevelWriter.h"
#include "util/Utf8.h"

namespace tessarin::convert {

std::string convertedPath(const std::string& tr4Path) {
    // The last three characters go: counted in UTF-8 where the name is UTF-8 text, else in bytes
    // (a Latin-1 name has a byte a character).
    std::size_t keep = tr4Path.size() >= 3 ? tr4Path.size() - 3 : 0;
    if (util::isUtf8(tr4Path)) {
        keep = tr4Path.size();
        for (int n = 0; n < 3 && keep > 0; ++n) {
            --keep;
            // Back over a character's continuation bytes to its first byte.
            while (keep > 0 && (static_cast<unsigned char>(tr4Path[keep]) & 0xC0) == 0x80) --keep;
        }
    }
    const std::string converted = tr4Path.substr(0, keep) + "tr2";
    // A TR4 level named like its output, or that the output name leads to through a link, would be
    // replaced by its own conversion.
    std::error_code ec;
    const bool same = converted == tr4Path || std::filesystem::equivalent(converted, tr4Path, ec);
    return same ? tr4Path + ".tr2" : converted;
}

util::Result<std::filesystem::path> RunBatchConvert(const std::string& tr4Path, std::int16_t target,
                                                    const std::filesystem::path& swdFile) {
    using R = util::Result<std::filesystem::path>;
    if (tr4Path.empty()) return R::failure("No level file was named for the conversion");
    try {
        auto level = ConvertTR4(tr4Path, target, swdFile);
        if (!level) return R::failure(level.error());
        const std::string out = convertedPath(tr4Path);
        if (auto st = level::SaveLevel(out, *level); !st) return R::failure(st.error());
        return std::filesystem::path(out);
    } catch (const std::bad_alloc&) {
        return R::failure(tr4Path + ": not enough memory to convert the level");
    }
}

}  // namespace tessarin::convert
