#include "LevelJson.h"

#include "Commands.h"
#include "level/LevelReader.h"

namespace tessarin::cli {

level::TRLevel loadOrThrow(const std::string& path) {
    auto result = level::LoadLevel(path);
    if (!result) throw fileError(path, result.error());
    return std::move(*result);
}

std::vector<std::pair<const char*, std::int64_t>> levelCounts(const level::TRLevel& l) {
    auto n = [](const auto& v) { return static_cast<std::int64_t>(v.size()); };
    return {
        {"rooms", n(l.Rooms)},
        {"floorData", n(l.FloorData)},
        {"meshData", l.numMeshData()},
        {"meshPointers", n(l.MeshPointers)},
        {"animations", n(l.Animations)},
        {"stateChanges", n(l.StateChanges)},
        {"animDispatches", n(l.AnimDispatches)},
        {"animCommands", n(l.AnimCommands)},
        {"meshTrees", n(l.MeshTrees)},
        {"frames", n(l.Frames)},
        {"moveables", n(l.Moveables)},
        {"staticMeshes", n(l.StaticMeshes)},
        {"spriteTextures", n(l.SpriteTextures)},
        {"spriteSequences", n(l.SpriteSequences)},
        {"cameras", n(l.Cameras)},
        {"flybyCameras", n(l.FlybyCameras)},
        {"soundSources", n(l.SoundSources)},
        {"boxes", n(l.Boxes)},
        {"overlaps", n(l.Overlaps)},
        {"zones", n(l.Zones)},
        {"animatedTextures", n(l.AnimatedTextures)},
        {"objectTextures", n(l.ObjectTextures)},
        {"items", n(l.Items)},
        {"aiObjects", n(l.AIObjects)},
        {"cinematicFrames", n(l.CinematicFrames)},
        {"demoData", l.NumDemoData},
        {"soundDetails", n(l.SoundDetails)},
        {"sampleIndices", n(l.SampleIndices)},
        {"textiles", l.NumTextiles},
        {"miscTextiles", l.NumMiscTextiles},
    };
}

void writeCounts(Json& j, const level::TRLevel& l) {
    j.beginObject();
    for (const auto& [name, count] : levelCounts(l)) j.field(name, count);
    j.endObject();
}

}  // namespace tessarin::cli
