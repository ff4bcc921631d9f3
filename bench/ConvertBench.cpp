// TR4 conversion beside a plain TR4 load of the same bytes. Target: conversion within 1.1x of the load.
#include <benchmark/benchmark.h>

#include "convert/SWD.h"
#include "convert/TR4Converter.h"
#include "level/LevelReader.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

using namespace tessarin;

namespace {

const std::vector<std::uint8_t>& tr4Bytes() {
    static const std::vector<std::uint8_t> bytes = [] {
        const auto path = test::realLevel("tr4-test1.tr4");
        auto b = path.empty() ? util::Result<std::vector<std::uint8_t>>::failure("") : util::readFile(path);
        return b ? std::move(*b) : std::vector<std::uint8_t>{};
    }();
    return bytes;
}

// One page of sprites, as large as the sprite file the build draws.
convert::SWDData spriteFile() {
    convert::SWDData swd;
    swd.Pixels.assign(convert::kSWDPageBytes, 128);
    swd.SpriteTextures.resize(150);
    swd.SpriteSequences.resize(6);
    return swd;
}

void BM_LoadTR4(benchmark::State& st) {
    if (tr4Bytes().empty()) return st.SkipWithError("tr4-test1.tr4 not found");
    for (auto _ : st) {
        auto level = level::LoadLevelFromBytes(tr4Bytes(), "tr4-test1.tr4");
        if (!level) return st.SkipWithError(("TR4 load: " + level.error()).c_str());
        benchmark::DoNotOptimize(level);
    }
}

void BM_ConvertTR4(benchmark::State& st) {
    if (tr4Bytes().empty()) return st.SkipWithError("tr4-test1.tr4 not found");
    const auto swd = spriteFile();
    const auto target = static_cast<std::int16_t>(st.range(0));
    for (auto _ : st) {
        auto level = convert::ConvertTR4Bytes(tr4Bytes(), "tr4-test1.tr4", target, swd);
        if (!level) return st.SkipWithError(level.error().c_str());
        benchmark::DoNotOptimize(level);
    }
}

}  // namespace

BENCHMARK(BM_LoadTR4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertTR4)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
