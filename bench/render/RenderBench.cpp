// Frame time of the 3D view on a generated 300-room level at 1024 x 768, next to a frame that only
// clears (the limit of the device), and the draw calls per frame. Needs an OpenGL 3.3 context: run
// it under xvfb-run (Mesa llvmpipe). A small program of its own, since Google Benchmark's loop does
// not fit a GL context's life.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <cstdio>

#include "../ViewerLevel.h"
#include "gl/RenderView.h"
#include "gl/SceneRenderer.h"
#include "viewer/Camera.h"
#include "viewer/PolyBatches.h"
#include "viewer/RoomPolys.h"
#include "viewer/StaticMeshes.h"
#include "viewer/TexturePages.h"

using namespace tessarin;

namespace {

constexpr int kWidth = 1024, kHeight = 768, kFrames = 60;

struct Timing {
    double ms = 0;
    int calls = 0;
};

template <typename Draw>
Timing measure(QOpenGLFunctions& gl, Draw draw) {
    Timing t;
    t.calls = draw();  // warm-up: first use of the buffers
    gl.glFinish();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kFrames; ++i) t.calls = draw();
    gl.glFinish();
    t.ms = static_cast<double>(clock.nsecsElapsed()) / 1e6 / kFrames;
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QOpenGLContext context;
    context.setFormat(app::RenderView::surfaceFormat());
    QOffscreenSurface surface;
    surface.setFormat(app::RenderView::surfaceFormat());
    surface.create();
    if (!context.create() || !context.makeCurrent(&surface)) {
        std::fprintf(stderr, "render bench: no OpenGL 3.3 context (run it under xvfb-run)\n");
        return 1;
    }
    QOpenGLFramebufferObject target(kWidth, kHeight, QOpenGLFramebufferObject::Depth);
    target.bind();
    QOpenGLFunctions* gl = context.functions();

    auto read = bench::readViewerLevel();
    if (!read) {
        std::fprintf(stderr, "render bench: %s\n", read.error().c_str());
        return 1;
    }
    const level::TRLevel level = std::move(read.value());

    app::SceneRenderer renderer;
    if (!renderer.initialize()) {
        std::fprintf(stderr, "render bench: the shaders do not build here\n");
        return 1;
    }
    // What opening a level costs the main window before its preview can draw: the pages as RGBA
    // and their upload.
    QElapsedTimer pageClock;
    pageClock.start();
    const viewer::RgbaImage pages = viewer::BuildTexturePages(level);
    renderer.uploadPages(pages);
    gl->glFinish();
    const double pageMs = static_cast<double>(pageClock.nsecsElapsed()) / 1e6;
    viewer::RoomPolyList list;
    for (int r = 0; r < static_cast<int>(level.Rooms.size()); ++r) viewer::BuildRoom(list, level, r);
    const viewer::TriangleBatches batches = viewer::BatchRoomPolys(list, level);
    renderer.uploadRooms(batches, viewer::RoomBounds(level));
    renderer.uploadStatics(viewer::BuildStaticMeshes(level));
    const std::vector<viewer::StaticPlacement> placements = viewer::StaticPlacements(level, -1);

    // Two views: the viewer's start at the player, and one from above a corner that takes in as
    // much of the level as the far plane allows.
    viewer::Camera player;
    viewer::PlaceCameraAtPlayer(player, level);
    viewer::Camera overview;
    overview.CamX = -5;
    overview.CamY = 40;
    overview.CamZ = -5;
    overview.CamLookAt = true;
    overview.CamTargetX = 40;
    overview.CamTargetY = 0;
    overview.CamTargetZ = 40;

    const int pageCount = pages.height / viewer::kPageSize;
    std::printf("level: %zu rooms, %zu room polygons, %zu triangles, %d pages, %zu static placements\n",
                level.Rooms.size(), list.RoomPolys.size(), batches.vertices.size() / 3, pageCount,
                placements.size());
    std::printf("texture pages built and uploaded in %.2f ms\n", pageMs);
    std::printf("draw-call limit per frame: %d (2 x pages + placements)\n",
                2 * pageCount + static_cast<int>(placements.size()));

    const Timing clear = measure(*gl, [&] {
        gl->glViewport(0, 0, kWidth, kHeight);
        gl->glClearColor(0, 0, 1, 1);
        gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return 0;
    });
    std::printf("clear only:           %7.2f ms a frame\n", clear.ms);
    for (const auto& [name, camera] : {std::pair{"at the player", player}, std::pair{"overview", overview}}) {
        app::SceneRenderer::Frame frame;
        frame.view = viewer::SetView(camera);
        frame.projection = viewer::ProjectionMatrix(float(kWidth) / float(kHeight));
        frame.placements = &placements;
        frame.width = kWidth;
        frame.height = kHeight;
        const Timing t = measure(*gl, [&] { return renderer.render(frame); });
        std::printf("whole level, %-13s %7.2f ms a frame (%5.1f frames a second), %d draw calls\n", name, t.ms,
                    1000.0 / t.ms, t.calls);
        // The viewer also leaves out rooms no portal from the rooms around the camera shows.
        const int room = viewer::FindCameraRoom(level, camera.CamX, camera.CamY, camera.CamZ);
        const std::vector<bool> mask = viewer::PortalVisibleRooms(level, {float(camera.CamX), float(camera.CamY), float(camera.CamZ)}, viewer::Frustum(frame.projection * frame.view));
        frame.roomMask = &mask;
        const Timing p = measure(*gl, [&] { return renderer.render(frame); });
        std::printf("  with portals (room %3d) %7.2f ms a frame (%5.1f frames a second), %d draw calls\n", room, p.ms,
                    1000.0 / p.ms, p.calls);
    }
    renderer.release();
    target.release();
    context.doneCurrent();
    return 0;
}
