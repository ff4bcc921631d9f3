// Building the viewer's polygons: every room of the largest real level and of a generated 300-room
// level, reported as polygons per second (the viewer builds the whole level before its first
// picture, so this is time the user waits), and turning them into triangle batches.
#include <benchmark/benchmark.h>

#include "level/LevelReader.h"
#include "support/TestPaths.h"
#include "ViewerLevel.h"
#include "viewer/PolyBatches.h"
#include "viewer/RoomPolys.h"
#include "viewer/StaticMeshes.h"

using namespace tessarin;

namespace {

// The real level with the most faces, loaded once; an empty level when none is present.
const level::TRLevel& largestRealLevel() {
    static const level::TRLevel largest = [] {
        level::TRLevel best;
        std::size_t bestFaces = 0;
        for (const char* name : {"tr1-test1.phd", "tr2-test1.tr2", "tr3-test1.tr2", "tr4-test1.tr4", "tr5-test1.trc"}) {
            const auto path = test::realLevel(name);
            if (path.empty()) continue;
            auto loaded = level::LoadLevel(path);
            if (!loaded) continue;
            std::size_t faces = 0;
            for (const auto& r : loaded->Rooms) faces += r.Rectangles.size() + r.Triangles.size();
            if (faces > bestFaces) {
                bestFaces = faces;
                best = std::move(*loaded);
            }
        }
        return best;
    }();
    return largest;
}

const level::TRLevel& generatedLevel() {
    static const level::TRLevel level = [] {
        auto loaded = bench::readViewerLevel();
        return loaded ? std::move(*loaded) : level::TRLevel{};
    }();
    return level;
}

const level::TRLevel& levelFor(std::int64_t which) { return which == 0 ? largestRealLevel() : generatedLevel(); }

void BM_BuildEveryRoom(benchmark::State& st) {
    const auto& level = levelFor(st.range(0));
    if (level.Rooms.empty()) {
        st.SkipWithError("no real level found (set TESSARIN_LEVELS)");
        return;
    }
    st.SetLabel(st.range(0) == 0 ? "largest real level" : "generated, 300 rooms");
    std::int64_t polys = 0;
    for (auto _ : st) {
        viewer::RoomPolyList list;
        for (std::size_t r = 0; r < level.Rooms.size(); ++r) viewer::BuildRoom(list, level, static_cast<int>(r));
        polys += list.NumRoomPolys();
        benchmark::DoNotOptimize(list.RoomPolys.data());
    }
    st.counters["polys_per_s"] = benchmark::Counter(static_cast<double>(polys), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BuildEveryRoom)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BatchEveryRoom(benchmark::State& st) {
    const auto& level = levelFor(st.range(0));
    if (level.Rooms.empty()) {
        st.SkipWithError("no real level found (set TESSARIN_LEVELS)");
        return;
    }
    viewer::RoomPolyList list;
    for (std::size_t r = 0; r < level.Rooms.size(); ++r) viewer::BuildRoom(list, level, static_cast<int>(r));
    for (auto _ : st) benchmark::DoNotOptimize(viewer::BatchRoomPolys(list, level).vertices.data());
    st.counters["polys_per_s"] = benchmark::Counter(static_cast<double>(list.NumRoomPolys()) * static_cast<double>(st.iterations()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BatchEveryRoom)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What the viewer window does instead: the same vertices, made in pieces as they are uploaded.
void BM_LevelTrianglesInPieces(benchmark::State& st) {
    const auto& level = levelFor(st.range(0));
    if (level.Rooms.empty()) {
        st.SkipWithError("no real level found (set TESSARIN_LEVELS)");
        return;
    }
    std::vector<viewer::TriangleVertex> piece;
    for (auto _ : st) {
        viewer::RoomTriangles triangles(level);
        while (triangles.next(piece, std::size_t{1} << 16)) benchmark::DoNotOptimize(piece.data());
    }
}
BENCHMARK(BM_LevelTrianglesInPieces)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BuildStaticMeshes(benchmark::State& st) {
    const auto& level = largestRealLevel();
    if (level.StaticMeshes.empty()) {
        st.SkipWithError("no real level with static meshes found");
        return;
    }
    for (auto _ : st) benchmark::DoNotOptimize(viewer::BuildStaticMeshes(level).data());
}
BENCHMARK(BM_BuildStaticMeshes)->Unit(benchmark::kMillisecond);

}  // namespace
