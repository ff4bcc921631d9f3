// TR4 and TR5 loads beside zlib alone inflating the same chunks (the floor a load can reach), with
// the chunks inflated one after another and side by side.
#include <benchmark/benchmark.h>

#include <map>
#include <zlib.h>

#include "level/RoomsReader.h"
#include "level/LevelReader.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

using namespace tessarin;

namespace {

struct RealFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
    std::vector<std::span<const std::uint8_t>> chunks;
    std::vector<std::uint32_t> sizes;
};

std::uint32_t get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (b[at + 3] << 24));
}

// Reads a real level once and finds its chunks (four in TR4, three in TR5).
const RealFile* realFile(const std::string& name) {
    static std::map<std::string, RealFile> cache;
    if (auto it = cache.find(name); it != cache.end()) return &it->second;
    const auto path = test::realLevel(name);
    if (path.empty()) return nullptr;
    auto bytes = util::readFile(path);
    if (!bytes) return nullptr;
    RealFile f{name, std::move(*bytes), {}, {}};
    const int chunks = name.ends_with(".trc") ? 3 : 4;
    std::size_t p = 10;
    for (int i = 0; i < chunks; ++i) {
        f.sizes.push_back(get32(f.bytes, p));
        const std::uint32_t packed = get32(f.bytes, p + 4);
        f.chunks.emplace_back(f.bytes.data() + p + 8, packed);
        p += 8 + packed;
    }
    return &cache.emplace(name, std::move(f)).first->second;
}

void inflateOnly(benchmark::State& st, const std::string& name) {
    const RealFile* f = realFile(name);
    if (!f) return st.SkipWithError(("real level " + name + " not found").c_str());
    std::vector<std::vector<std::uint8_t>> out;
    for (auto s : f->sizes) out.emplace_back(s);
    for (auto _ : st) {
        for (std::size_t i = 0; i < f->chunks.size(); ++i) {
            uLongf len = f->sizes[i];
            uncompress(out[i].data(), &len, f->chunks[i].data(), f->chunks[i].size());
        }
        benchmark::ClobberMemory();
    }
}

void load(benchmark::State& st, const std::string& name, bool parallel) {
    const RealFile* f = realFile(name);
    if (!f) return st.SkipWithError(("real level " + name + " not found").c_str());
    level::detail::setParallelReading(parallel);
    for (auto _ : st) {
        auto l = level::LoadLevelFromBytes(f->bytes, f->name);
        if (!l) st.SkipWithError(l.error().c_str());
        benchmark::DoNotOptimize(l);
    }
    level::detail::setParallelReading(true);
}

}  // namespace

BENCHMARK_CAPTURE(inflateOnly, tr4, std::string("tr4-test1.tr4"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, tr4_serial, std::string("tr4-test1.tr4"), false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, tr4_parallel, std::string("tr4-test1.tr4"), true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(inflateOnly, tr5, std::string("tr5-test1.trc"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, tr5_serial, std::string("tr5-test1.trc"), false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, tr5_parallel, std::string("tr5-test1.trc"), true)->Unit(benchmark::kMillisecond)->UseRealTime();
