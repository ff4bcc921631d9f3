// Large generated levels: building them, and loading and saving them beside a plain read of the
// same file (the limit a parser can reach).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/SampleLevels.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

using namespace tessarin;

namespace {

// A few hundred rooms and thousands of items, as the editor meets in the largest real levels.
levelgen::LargeLevelParams largeParams(std::int16_t version) {
    return {.version = version, .rooms = 400, .sectorsPerSide = 10, .items = 5000, .triggersPerRoom = 6,
            .facesPerRoom = 200, .seed = 7};
}

void BM_BuildLargeLevel(benchmark::State& st) {
    const auto p = largeParams(static_cast<std::int16_t>(st.range(0)));
    std::size_t bytes = 0;
    for (auto _ : st) {
        const auto built = levelgen::buildLevel(levelgen::composeLargeLevel(p));
        bytes = built.size();
        benchmark::DoNotOptimize(built.data());
    }
    st.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_BuildLargeLevel)->DenseRange(1, 5)->Unit(benchmark::kMillisecond);

// The generated level of a version written to a temporary file, made on first use.
const std::filesystem::path& largeFile(std::int16_t version) {
    static std::map<std::int16_t, std::filesystem::path> files;
    auto it = files.find(version);
    if (it != files.end()) return it->second;
    const auto bytes = levelgen::buildLevel(levelgen::composeLargeLevel(largeParams(version)));
    const auto path = std::filesystem::temp_directory_path() /
                      ("tessarin-bench-large" + std::string(levelgen::levelExtension(version)));
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return files.emplace(version, path).first->second;
}

void BM_PlainReadLarge(benchmark::State& st) {
    const auto& path = largeFile(static_cast<std::int16_t>(st.range(0)));
    for (auto _ : st) benchmark::DoNotOptimize(util::readFile(path));
}
BENCHMARK(BM_PlainReadLarge)->DenseRange(2, 5)->Unit(benchmark::kMillisecond);

void BM_LoadLevelLarge(benchmark::State& st) {
    const auto& path = largeFile(static_cast<std::int16_t>(st.range(0)));
    for (auto _ : st) benchmark::DoNotOptimize(level::LoadLevel(path));
}
BENCHMARK(BM_LoadLevelLarge)->DenseRange(2, 5)->Unit(benchmark::kMillisecond);

void BM_SerializeLarge(benchmark::State& st) {
    auto loaded = level::LoadLevel(largeFile(static_cast<std::int16_t>(st.range(0))));
    if (!loaded) {
        st.SkipWithError(loaded.error().c_str());
        return;
    }
    for (auto _ : st) benchmark::DoNotOptimize(level::SerializeLevel(*loaded));
}
BENCHMARK(BM_SerializeLarge)->DenseRange(2, 3)->Unit(benchmark::kMillisecond);

}  // namespace
