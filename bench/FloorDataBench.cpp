// BuildItemTriggers (one walk per sector) beside the item-by-item definition it replaces (one
// walk per item and sector), on a generated level of 2,000 items and 50,000 trigger sectors.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "floordata/FloorData.h"

using namespace tessarin;

namespace {

constexpr int kItems = 2000;
constexpr int kRooms = 50;
constexpr int kXSectors = 25;
constexpr int kZSectors = 40;  // 50 rooms x 1,000 sectors
constexpr int kLists = 4000;   // shared by the sectors so that every index stays below 32768

// A small deterministic generator, so every run measures the same level.
class Random {
public:
    std::uint32_t next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint32_t m_state = 0x9E3779B9u;
};

// One list: sometimes a door or a slope first, then a trigger of one to four actions (objects,
// targets, cameras and flybys with their extra words, flip effects), sometimes a climb after it.
void appendList(std::vector<std::uint16_t>& fd, Random& rnd) {
    if (rnd.below(3) == 0) {
        fd.push_back(static_cast<std::uint16_t>(1 + rnd.below(3)));
        fd.push_back(static_cast<std::uint16_t>(rnd.below(kRooms)));
    }
    const bool climbAfter = rnd.below(4) == 0;
    fd.push_back(static_cast<std::uint16_t>(floordata::kTrigger | (rnd.below(13) << 8) | (climbAfter ? 0 : 0x8000)));
    fd.push_back(static_cast<std::uint16_t>(rnd.below(0x4000)));
    const int actions = 1 + rnd.below(4);
    for (int a = 0; a < actions; ++a) {
        static constexpr int kKinds[] = {0, 0, 0, 0, 0, 6, 6, 1, 1, 12, 9, 3};
        const int kind = kKinds[rnd.below(static_cast<int>(std::size(kKinds)))];
        const std::uint16_t lastBit = a + 1 == actions ? 0x8000 : 0;
        const bool extra = kind == floordata::kActionCamera || kind == floordata::kActionFlyby;
        fd.push_back(static_cast<std::uint16_t>((kind << 10) | rnd.below(512) | (extra ? 0 : lastBit)));
        if (extra) fd.push_back(static_cast<std::uint16_t>(rnd.below(8) | lastBit));
    }
    if (climbAfter) fd.push_back(static_cast<std::uint16_t>(0x8006 | (rnd.below(16) << 8)));
}

const level::TRLevel& generatedLevel() {
    static const level::TRLevel lvl = [] {
        level::TRLevel l;
        Random rnd;
        l.FloorData.push_back(0);
        std::vector<std::uint16_t> starts;
        for (int i = 0; i < kLists; ++i) {
            starts.push_back(static_cast<std::uint16_t>(l.FloorData.size()));
            appendList(l.FloorData, rnd);
        }
        l.Items.resize(kItems);
        l.Rooms.resize(kRooms);
        for (auto& room : l.Rooms) {
            room.NumXSectors = kXSectors;
            room.NumZSectors = kZSectors;
            room.Sectors.resize(kXSectors * kZSectors);
            for (auto& s : room.Sectors) s.FDIndex = starts[static_cast<std::size_t>(rnd.below(kLists))];
        }
        return l;
    }();
    return lvl;
}

// The definition: for each item, every sector of every room in order.
std::vector<std::vector<floordata::TriggerSector>> itemByItem(const level::TRLevel& lvl) {
    std::vector<std::vector<floordata::TriggerSector>> index(lvl.Items.size());
    for (std::size_t i = 0; i < lvl.Items.size(); ++i) {
        for (std::size_t r = 0; r < lvl.Rooms.size(); ++r) {
            const auto& room = lvl.Rooms[r];
            for (int x = 0; x < room.NumXSectors; ++x) {
                for (int z = 0; z < room.NumZSectors; ++z) {
                    if (!floordata::SectorTriggersItem(lvl.FloorData, room.sector(x, z), static_cast<int>(i))) continue;
                    index[i].push_back({static_cast<std::int32_t>(r), x, z});
                }
            }
        }
    }
    return index;
}

bool sameIndex(const floordata::ItemTriggers& a, const std::vector<std::vector<floordata::TriggerSector>>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto list = a[i];
        if (list.Count != static_cast<std::int32_t>(b[i].size()) ||
            !std::equal(list.Sectors.begin(), list.Sectors.end(), b[i].begin(), b[i].end()))
            return false;
    }
    return true;
}

void BM_BuildItemTriggers(benchmark::State& state) {
    const auto& lvl = generatedLevel();
    for (auto _ : state) benchmark::DoNotOptimize(floordata::BuildItemTriggers(lvl));
}
BENCHMARK(BM_BuildItemTriggers)->Unit(benchmark::kMillisecond);

void BM_ItemByItemReference(benchmark::State& state) {
    const auto& lvl = generatedLevel();
    for (auto _ : state) benchmark::DoNotOptimize(itemByItem(lvl));
}
BENCHMARK(BM_ItemByItemReference)->Unit(benchmark::kMillisecond)->Iterations(1);

// One timed run of each on the same level: checks that both agree and reports the speed-up.
void BM_ItemTriggersSpeedup(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const auto& lvl = generatedLevel();
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const auto fast = floordata::BuildItemTriggers(lvl);
        const auto t1 = Clock::now();
        const auto slow = itemByItem(lvl);
        const auto t2 = Clock::now();
        if (!sameIndex(fast, slow)) {
            state.SkipWithError("BuildItemTriggers differs from the item-by-item reference");
            return;
        }
        std::size_t entries = 0;
        for (std::size_t i = 0; i < fast.size(); ++i) entries += fast[i].Sectors.size();
        const double fastSeconds = std::chrono::duration<double>(t1 - t0).count();
        const double slowSeconds = std::chrono::duration<double>(t2 - t1).count();
        state.counters["speedup"] = slowSeconds / fastSeconds;
        state.counters["entries"] = static_cast<double>(entries);
        state.counters["sectors"] = kRooms * kXSectors * kZSectors;
    }
}
BENCHMARK(BM_ItemTriggersSpeedup)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
