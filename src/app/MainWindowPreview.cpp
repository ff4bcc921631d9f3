// The room preview of the main window: rebuilt after a room, door or selection change, drawn on
// change only, at most one frame per frame interval while keys are held.
#include <QStatusBar>
#include <new>

#include "ClickLabel.h"
#include "MainWindow.h"
#include "PreviewArea.h"
#include "RoomPanels.h"
#include "SectorMap.h"
#include "gl/RenderView.h"
#include "viewer/PolyBatches.h"
#include "viewer/RoomPreview.h"
#include "viewer/StaticMeshes.h"

namespace tessarin::app {

namespace {

// Frames are at least this far apart (milliseconds).
constexpr int kFrameInterval = 10;

}  // namespace

void Tessarin2_Frm::setupPreview(Preview3D preview3D) {
    m_frameTimer.setSingleShot(true);
    m_frameTimer.setInterval(kFrameInterval);
    connect(&m_frameTimer, &QTimer::timeout, this, &Tessarin2_Frm::frameTick);
    // The start-up camera: eye (0, 1, 0) looking at (5, 0, 5).
    m_camera.CamX = 0;
    m_camera.CamY = 1;
    m_camera.CamZ = 0;
    m_camera.CamTargetX = 5;
    m_camera.CamTargetY = 0;
    m_camera.CamTargetZ = 5;
    m_camera.CamLookAt = true;
    if (preview3D == Preview3D::On) {
        m_previewView = new RenderView(m_map);
        m_previewView->setObjectName("PreviewView");
        m_previewView->setFocusPolicy(Qt::NoFocus);
        m_map->setPreviewView(m_previewView);
        m_map->preview()->hide();
    }
    requestPreviewFrame();
}

void Tessarin2_Frm::previewLevelOpened(const viewer::RgbaImage& pages) {
    m_preview.PreviewBuilt = false;
    m_preview.PreviewCenterX = 0;
    m_preview.PreviewCenterZ = 0;
    if (m_previewView) {
        // A new level: new texture pages and static meshes on the device, and new room bounds.
        m_previewRoomBounds = viewer::RoomBounds(m_session.Level);
        m_previewView->setPages(pages);
        try {
            m_previewView->setStatics(viewer::BuildStaticMeshes(m_session.Level));
        } catch (const std::bad_alloc&) {
            // Without memory for them the preview shows the rooms without their static meshes.
            m_previewView->setStatics({});
            statusBar()->showMessage("Not enough memory for the static meshes; the preview shows the rooms without them");
        }
        // With the preview off (after a recording) no frame rebuilds the rooms: the last level's
        // would be drawn in the new level's textures.
        if (!m_preview.PreviewOn) {
            m_previewView->setRooms(viewer::TriangleBatches{}, {});
            m_previewView->setPlacements({});
            m_previewView->update();
        }
    }
    requestPreviewFrame();
}

void Tessarin2_Frm::requestPreviewFrame() {
    if (!m_frameTimer.isActive()) m_frameTimer.start();
}

// One preview frame: the camera, then a rebuild when the list is stale, then the picture.
void Tessarin2_Frm::frameTick() {
    if (!m_preview.PreviewOn || !Running) return;
    const level::TRLevel& level = m_session.Level;
    const int room = m_session.CurRoom;
    const bool hasRooms = !level.Rooms.empty();
    if (hasRooms) viewer::UpdatePreviewCamera(m_preview, level, room, m_camera);
    // A level without rooms builds an empty list, so nothing of the previous level stays drawn.
    if (!m_preview.PreviewBuilt) {
        const viewer::SelectedSector selected{m_session.SelectedX, m_session.SelectedZ};
        viewer::BuildPreviewList(m_previewPolys, level, room, m_rooms->DrawDoors->hasBorder(), selected);
        m_markedX = m_session.SelectedX;
        m_markedZ = m_session.SelectedZ;
        if (m_previewView) {
            m_previewView->setRooms(viewer::BatchRoomPolys(m_previewPolys, level), m_previewRoomBounds);
            m_previewView->setPlacements(viewer::StaticPlacements(level, room));
        }
        m_preview.PreviewBuilt = true;
    }
    if (m_previewView) {
        const viewer::Mat4 world = hasRooms ? viewer::PreviewWorldMatrix(m_preview, level, room) : viewer::Mat4::identity();
        m_previewView->setScene(viewer::SetView(m_camera), world);
    } else {
        m_map->preview()->showFrame(m_preview, m_rooms->DrawDoors->hasBorder(), m_session.LevelLoaded);
    }
}

}  // namespace tessarin::app
