#pragma once
// RenderView: the one OpenGL widget of both 3D views (the viewer window and the room preview).
// Its users hand it the scene on change; it uploads before the next frame and draws every frame.
#include <QOpenGLWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "viewer/PolyBatches.h"
#include "viewer/StaticMeshes.h"
#include "viewer/TexturePages.h"
#include "viewer/ViewMath.h"

namespace tessarin::app {

class SceneRenderer;

class RenderView : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit RenderView(QWidget* parent = nullptr);
    ~RenderView() override;

    // OpenGL 3.3 core with a depth buffer.
    static QSurfaceFormat surfaceFormat();

    void setPages(viewer::RgbaImage pages);
    void setRooms(viewer::TriangleBatches rooms, std::vector<viewer::Box> roomBounds);
    // A whole level's rooms, made piece by piece as they are uploaded (the level must outlive the
    // upload: the next frame).
    void setRooms(viewer::RoomTriangles rooms, std::vector<viewer::Box> roomBounds);
    void setStatics(std::vector<viewer::StaticMeshPolys> statics);
    // The static objects to place (definitions as given to setStatics).
    void setPlacements(std::vector<viewer::StaticPlacement> placements);
    // Rooms that may be seen; empty: every room.
    void setRoomMask(std::vector<bool> mask) { m_roomMask = std::move(mask); }
    // Per frame: the camera's view and the world transform of rooms and statics.
    void setScene(const viewer::Mat4& view, const viewer::Mat4& world);

    // Called at the start of every frame (the viewer moves its camera and measures its rate there).
    void setBeforeFrame(std::function<void()> beforeFrame) { m_beforeFrame = std::move(beforeFrame); }
    // Drawn over the 3D picture each frame.
    void setOverlay(std::function<void(QPainter&)> overlay) { m_overlay = std::move(overlay); }
    // Continuous: each frame asks for the next one (the viewer); otherwise frames follow changes.
    void setContinuous(bool continuous);

    bool rendererReady() const { return m_ready; }
    int lastDrawCalls() const { return m_lastDrawCalls; }
    int framesDrawn() const { return m_frames; }

signals:
    void frameDrawn();

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    void releaseGL();

    std::unique_ptr<SceneRenderer> m_renderer;
    bool m_ready = false;
    bool m_continuous = false;
    bool m_painting = false;  // inside the frame callback: a scene change needs no new frame
    std::optional<viewer::RgbaImage> m_pendingPages;
    std::optional<std::pair<viewer::TriangleBatches, std::vector<viewer::Box>>> m_pendingRooms;
    std::optional<std::pair<viewer::RoomTriangles, std::vector<viewer::Box>>> m_pendingLevelRooms;
    std::optional<std::vector<viewer::StaticMeshPolys>> m_pendingStatics;
    viewer::Mat4 m_view = viewer::Mat4::identity();
    viewer::Mat4 m_world = viewer::Mat4::identity();
    std::vector<viewer::StaticPlacement> m_placements;
    std::vector<bool> m_roomMask;
    std::function<void()> m_beforeFrame;
    std::function<void(QPainter&)> m_overlay;
    int m_lastDrawCalls = 0;
    int m_frames = 0;
};

}  // namespace tessarin::app
