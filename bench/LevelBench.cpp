// Level load and save beside a plain read of the same bytes (the limit a parser can reach).
#include <benchmark/benchmark.h>

#include <cstring>

#include "BenchTable.h"
#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

using namespace tessarin;

namespace {

void registerRealLevel(const std::string& name) {
    const auto path = test::realLevel(name);
    if (path.empty()) return;
    benchmark::RegisterBenchmark(("PlainRead/" + name).c_str(), [path](benchmark::State& st) {
        for (auto _ : st) benchmark::DoNotOptimize(util::readFile(path));
    });
    benchmark::RegisterBenchmark(("LoadLevel/" + name).c_str(), [path](benchmark::State& st) {
        for (auto _ : st) benchmark::DoNotOptimize(level::LoadLevel(path));
    });
    auto loaded = level::LoadLevel(path);
    if (loaded && (loaded->LevelVersion == 2 || loaded->LevelVersion == 3)) {
        benchmark::RegisterBenchmark(("Serialize/" + name).c_str(), [lvl = *loaded](benchmark::State& st) {
            for (auto _ : st) benchmark::DoNotOptimize(level::SerializeLevel(lvl));
        });
    }
}

}  // namespace

int main(int argc, char** argv) {
    if ((argc == 2 || argc == 3) && std::strcmp(argv[1], "--table") == 0)
        return bench::runTable(argv[0], argc == 3 ? argv[2] : nullptr);
    for (const char* n : {"tr1-test1.phd", "tr2-test1.tr2", "tr3-test1.tr2"}) registerRealLevel(n);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
