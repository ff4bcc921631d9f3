#include "LevelJson.h"

#include "Commands.h"
#include "level/LevelReader.h"

namespace tessarin::cli {

level::TRLevel loadOrThrow(const std::string& path) {
    auto result = level::LoadLevel(path);
    if (!result) throw CliError(path + ": " + result.error());
    return std::move(*result);
}

void writeCounts(Json& j, const level::TRLevel& l) {
    auto n = [](const auto& v) { return static_cast<std::int64_t>(v.size()); };
    j.beginObject();
    j.field("rooms", n(l.Rooms));
    j.field("floorData", n(l.FloorData));
    j.field("meshData", static_cast<std::int64_t>(l.numMeshData()));
    j.field("meshPointers", n(l.MeshPointers));
    j.field("animations", n(l.Animations));
    j.field("stateChanges", n(l.StateChanges));
    j.field("animDispatches", n(l.AnimDispatches));
    j.field("animCommands", n(l.AnimCommands));
    j.field("meshTrees", n(l.MeshTrees));
    j.field("frames", n(l.Frames));
    j.field("moveables", n(l.Moveables));
    j.field("staticMeshes", n(l.StaticMeshes));
    j.field("spriteTextures", n(l.SpriteTextures));
    j.field("spriteSequences", n(l.SpriteSequences));
    j.field("cameras", n(l.Cameras));
    j.field("flybyCameras", n(l.FlybyCameras));
    j.field("soundSources", n(l.SoundSources));
    j.field("boxes", n(l.Boxes));
    j.field("overlaps", n(l.Overlaps));
    j.field("zones", n(l.Zones));
    j.field("animatedTextures", n(l.AnimatedTextures));
    j.field("objectTextures", n(l.ObjectTextures));
    j.field("items", n(l.Items));
    j.field("aiObjects", n(l.AIObjects));
    j.field("cinematicFrames", n(l.CinematicFrames));
    j.field("demoData", l.NumDemoData);
    j.field("soundDetails", n(l.SoundDetails));
    j.field("sampleIndices", n(l.SampleIndices));
    j.field("textiles", l.NumTextiles);
    j.field("miscTextiles", l.NumMiscTextiles);
    j.endObject();
}

}  // namespace tessarin::cli
