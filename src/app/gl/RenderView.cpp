#include "gl/RenderView.h"

#include <QOpenGLContext>
#include <QPainter>

#include "gl/SceneRenderer.h"
#include "viewer/Camera.h"

namespace tessarin::app {

RenderView::RenderView(QWidget* parent) : QOpenGLWidget(parent), m_renderer(std::make_unique<SceneRenderer>()) {
    setFormat(surfaceFormat());
    setFocusPolicy(Qt::StrongFocus);
}

RenderView::~RenderView() {
    releaseGL();
    // The base class destroys the context after this part of the object is gone: its signal
    // must not call releaseGL on what is left.
    if (QOpenGLContext* c = context()) disconnect(c, nullptr, this, nullptr);
}

QSurfaceFormat RenderView::surfaceFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);
    return format;
}

void RenderView::releaseGL() {
    if (!m_ready || !context()) return;
    makeCurrent();
    m_renderer->release();
    doneCurrent();
    m_ready = false;
}

void RenderView::initializeGL() {
    // A context that is not 3.3 core cannot run the shaders: the view then stays empty rather
    // than failing in a driver call.
    const QSurfaceFormat got = context()->format();
    const bool version = got.majorVersion() > 3 || (got.majorVersion() == 3 && got.minorVersion() >= 3);
    m_ready = version && m_renderer->initialize();
    if (!m_ready) qWarning("3D view: no OpenGL 3.3 core context");
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &RenderView::releaseGL, Qt::DirectConnection);
}

void RenderView::setPages(viewer::RgbaImage pages) {
    m_pendingPages = std::move(pages);
    update();
}

void RenderView::setRooms(viewer::TriangleBatches rooms, std::vector<viewer::Box> roomBounds) {
    m_pendingLevelRooms.reset();
    m_pendingRooms.emplace(std::move(rooms), std::move(roomBounds));
    update();
}

void RenderView::setRooms(viewer::RoomTriangles rooms, std::vector<viewer::Box> roomBounds) {
    m_pendingRooms.reset();
    m_pendingLevelRooms.emplace(std::move(rooms), std::move(roomBounds));
    update();
}

void RenderView::setStatics(std::vector<viewer::StaticMeshPolys> statics) {
    m_pendingStatics = std::move(statics);
    update();
}

void RenderView::setPlacements(std::vector<viewer::StaticPlacement> placements) {
    m_placements = std::move(placements);
    update();
}

void RenderView::setScene(const viewer::Mat4& view, const viewer::Mat4& world) {
    m_view = view;
    m_world = world;
    if (!m_painting) update();
}

void RenderView::setContinuous(bool continuous) {
    m_continuous = continuous;
    if (continuous) update();
}

void RenderView::paintGL() {
    m_painting = true;
    if (m_beforeFrame) m_beforeFrame();
    m_painting = false;
    if (m_ready) {
        // Prepare: whatever changed since the last frame goes to the device once.
        if (m_pendingPages) m_renderer->uploadPages(*m_pendingPages);
        if (m_pendingRooms) m_renderer->uploadRooms(m_pendingRooms->first, m_pendingRooms->second);
        if (m_pendingLevelRooms) m_renderer->uploadRooms(m_pendingLevelRooms->first, m_pendingLevelRooms->second);
        if (m_pendingStatics) m_renderer->uploadStatics(*m_pendingStatics);
        m_pendingPages.reset();
        m_pendingRooms.reset();
        m_pendingLevelRooms.reset();
        m_pendingStatics.reset();
        SceneRenderer::Frame frame;
        frame.view = m_view;
        frame.world = m_world;
        const qreal ratio = devicePixelRatioF();
        frame.width = static_cast<int>(width() * ratio);
        frame.height = static_cast<int>(height() * ratio);
        frame.projection = viewer::ProjectionMatrix(height() > 0 ? float(width()) / float(height()) : 1.0f);
        frame.placements = &m_placements;
        frame.roomMask = m_roomMask.empty() ? nullptr : &m_roomMask;
        m_lastDrawCalls = m_renderer->render(frame);
    }
    if (m_overlay) {
        QPainter painter(this);
        m_overlay(painter);
    }
    ++m_frames;
    emit frameDrawn();
    // The next frame is asked for only after this one is drawn, so events are served in between.
    if (m_continuous) update();
}

}  // namespace tessarin::app
