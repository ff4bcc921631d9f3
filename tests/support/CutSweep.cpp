#include "support/CutSweep.h"

#include <gtest/gtest.h>

#include "level/LevelReader.h"

namespace tessarin::test {

std::set<std::size_t> cutPoints(std::size_t end, std::size_t spread, std::span<const std::size_t> starts,
                                std::size_t near, std::size_t tail) {
    std::set<std::size_t> cuts;
    for (std::size_t i = 0; i < spread; ++i) cuts.insert(end * i / spread);
    for (std::size_t s : starts)
        for (std::size_t d = 0; d <= near; ++d) {
            if (d <= s) cuts.insert(s - d);
            cuts.insert(s + d);
        }
    for (std::size_t d = 1; d <= tail && d <= end; ++d) cuts.insert(end - d);
    cuts.erase(cuts.lower_bound(end), cuts.end());
    return cuts;
}

CutReader levelReader(const std::string& name) {
    return [name](std::span<const std::uint8_t> bytes) {
        auto r = level::LoadLevelFromBytes(bytes, name);
        return r ? std::string() : (r.error().empty() ? std::string("(empty message)") : r.error());
    };
}

void expectEveryCutRefused(std::span<const std::uint8_t> file, const std::set<std::size_t>& cuts,
                           const CutReader& read, const std::string& what) {
    for (std::size_t cut : cuts) {
        ASSERT_LE(cut, file.size());
        const std::string message = read(file.first(cut));
        ASSERT_FALSE(message.empty()) << what << " cut at " << cut << " was read as a level";
        ASSERT_NE(message, "(empty message)") << what << " cut at " << cut << " was refused without a reason";
    }
}

}  // namespace tessarin::test
