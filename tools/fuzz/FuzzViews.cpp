// What the windows build from a level that read: texture pages, the viewer's rooms and statics,
// the preview of a few rooms with their doors, culling from where the camera starts, the map and
// its exported picture, the hover text and the level browser's list. A file the readers accept
// may still name vertices, textures, rooms or meshes that are not there.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzInput.h"
#include "editor/LevelBrowser.h"
#include "editor/MapImage.h"
#include "editor/ObjectNames.h"
#include "editor/SectorHover.h"
#include "editor/SectorMap.h"
#include "level/LevelReader.h"
#include "level/RoomsReader.h"
#include "viewer/Camera.h"
#include "viewer/PolyBatches.h"
#include "viewer/RoomPreview.h"
#include "viewer/StaticMeshes.h"
#include "viewer/TexturePages.h"

using namespace tessarin;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    level::detail::setParallelReading(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
#if FUZZ_VIEWS_WRAP == 4
    const auto file = fuzz::wrapTR4LevelData(input);
#else
    const auto file = input;
#endif
    auto loaded = level::LoadLevelFromBytes(file, FUZZ_VIEWS_NAME);
    if (!loaded) return 0;
    const level::TRLevel& level = loaded.value();

    (void)viewer::BuildTexturePages(level);
    (void)viewer::BuildStaticMeshes(level);
    (void)viewer::StaticPlacements(level, -1);
    (void)viewer::RoomBounds(level);
    // The viewer window refuses what its limit would not draw, as the app does before building.
    if (viewer::ViewerFacesRefusal(level, file.size()).empty()) {
        viewer::Camera camera;
        viewer::PlaceCameraAtPlayer(camera, level);
        (void)viewer::RoomTriangles(level);
        (void)viewer::FindCameraRoom(level, camera.CamX, camera.CamY, camera.CamZ);
        const viewer::Vec3 eye{static_cast<float>(camera.CamX), static_cast<float>(camera.CamY),
                               static_cast<float>(camera.CamZ)};
        (void)viewer::PortalVisibleRooms(level, eye, viewer::Frustum(viewer::ProjectionMatrix(1.0f) * viewer::SetView(camera)));
    }

    const editor::ObjectNameTable names;
    (void)editor::listLevelObjects(level, names);

    const int rooms = static_cast<int>(std::min<std::size_t>(level.Rooms.size(), 4));
    for (int r = 0; r < rooms; ++r) {
        viewer::PreviewControls preview;
        viewer::Camera camera;
        viewer::UpdatePreviewCamera(preview, level, r, camera);
        (void)viewer::PreviewWorldMatrix(preview, level, r);
        viewer::RoomPolyList list;
        viewer::BuildPreviewList(list, level, r, true, viewer::SelectedSector{1, 1});
        (void)viewer::BatchRoomPolys(list, level);

        editor::SectorMap map;
        map.build(level, r);
        if (editor::mapImageRefusal(map, 4).empty()) (void)editor::renderMapImage(map, 4);
        for (int x = -1; x <= std::min(map.numX(), 4); ++x)
            for (int z = -1; z <= std::min(map.numZ(), 4); ++z) (void)editor::describeHover(level, r, x, z);
    }
    return 0;
}
