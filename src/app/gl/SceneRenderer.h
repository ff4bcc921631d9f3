#pragma once
// SceneRenderer: the OpenGL 3.3 side of both 3D views. The core's triangle batches are uploaded
// once when they change (prepare) and each frame draws them with a handful of calls (render).
#include <QOpenGLFunctions_3_3_Core>
#include <cstdint>
#include <vector>

#include "viewer/PolyBatches.h"
#include "viewer/StaticMeshes.h"
#include "viewer/TexturePages.h"
#include "viewer/ViewMath.h"

namespace tessarin::app {

class SceneRenderer : protected QOpenGLFunctions_3_3_Core {
public:
    SceneRenderer() = default;
    ~SceneRenderer();
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    // With the view's context current; false when the context is not 3.3 or the shaders fail.
    bool initialize();
    // Releases every GL object; the context must be current.
    void release();

    // Prepare: uploads (context current).
    void uploadPages(const viewer::RgbaImage& pages);
    // The rooms' triangles in level-wide positions and each room's bounds for culling.
    void uploadRooms(const viewer::TriangleBatches& rooms, const std::vector<viewer::Box>& roomBounds);
    void uploadRooms(viewer::RoomTriangles& rooms, const std::vector<viewer::Box>& roomBounds);
    // One entry per static-object definition; a definition without polygons draws nothing.
    void uploadStatics(const std::vector<viewer::StaticMeshPolys>& statics);

    struct Frame {
        viewer::Mat4 view, projection;
        viewer::Mat4 world = viewer::Mat4::identity();  // applies to rooms and statics
        const std::vector<viewer::StaticPlacement>* placements = nullptr;
        // Rooms that may be seen at all (through the portals from the camera's room); null: every room.
        const std::vector<bool>* roomMask = nullptr;
        int width = 0, height = 0;  // device pixels
    };
    // Render: clears to blue and draws the visible rooms and the statics. Returns the draw calls made.
    int render(const Frame& frame);

private:
    struct MeshRange {
        std::uint32_t first = 0, count = 0;
        viewer::Box bounds;
    };
    bool m_ready = false;
    GLuint m_program = 0;
    GLint m_mvpLocation = -1;
    GLuint m_pages = 0;
    int m_pageCount = 0;
    GLuint m_roomVao = 0, m_roomVbo = 0;
    GLuint m_meshVao = 0, m_meshVbo = 0;
    std::vector<viewer::DrawRange> m_roomRanges;
    std::vector<viewer::Box> m_roomBounds;
    std::vector<MeshRange> m_meshes;
    // Scratch for the multi-draw lists, kept between frames.
    std::vector<GLint> m_firsts;
    std::vector<GLsizei> m_counts;

    void setupVertexArray(GLuint vao, GLuint vbo);
};

}  // namespace tessarin::app
