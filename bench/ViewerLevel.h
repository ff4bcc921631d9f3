#pragma once
// The generated level the viewer benchmarks draw: 300 rooms of 10 x 10 sectors and 200 faces, written
// and read back, so it holds what a file gives (the texture-tile table too).
#include "level/LevelReader.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/SampleLevels.h"

namespace tessarin::bench {

inline util::Result<level::TRLevel> readViewerLevel() {
    levelgen::LargeLevelParams p;
    p.version = 3;
    p.rooms = 300;
    p.sectorsPerSide = 10;
    p.facesPerRoom = 200;
    const auto bytes = levelgen::buildLevel(levelgen::composeLargeLevel(p));
    return level::LoadLevelFromBytes(bytes, "large.tr2");
}

}  // namespace tessarin::bench
