#include "LevelView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <filesystem>
#include <new>

#include "LevelLoader.h"
#include "MainWindow.h"
#include "QtConvert.h"
#include "ScreenFit.h"
#include "TexturesPanel.h"
#include "UserDialogs.h"
#include "gl/DisplayDevice.h"
#include "gl/RenderView.h"
#include "platform/ScanCodes.h"
#include "level/LevelReader.h"
#include "viewer/PolyBatches.h"
#include "viewer/RoomPolys.h"
#include "viewer/StaticMeshes.h"
#include "viewer/TexturePages.h"

namespace tessarin::app {

namespace {

int viewerKeyCode(const QKeyEvent& event) {
    const int qtKey = event.key();
    // Under a layout of another script (Cyrillic, Greek) the keys at A and Z give their own letters;
    // they still raise and lower the camera, found by their place on the keyboard.
    if (qtKey > 0xFF && qtKey < Qt::Key_Escape) {
        const int x11Keycode = static_cast<int>(event.nativeScanCode());
        switch (platform::directInputScanCode(platform::evdevCodeOfX11Keycode(x11Keycode))) {
        case 0x1E: return viewer::kKeyA;  // DirectInput's codes of the keys at A and Z
        case 0x2C: return viewer::kKeyZ;
        default: return 0;
        }
    }
    switch (qtKey) {
    case Qt::Key_Left: return viewer::kKeyLeft;
    case Qt::Key_Up: return viewer::kKeyUp;
    case Qt::Key_Right: return viewer::kKeyRight;
    case Qt::Key_Down: return viewer::kKeyDown;
    case Qt::Key_A: return viewer::kKeyA;
    case Qt::Key_Z: return viewer::kKeyZ;
    default: return 0;
    }
}

}  // namespace

LevelView::LevelView(QWidget* parent) : QWidget(parent) {
    setObjectName("LevelView");
    setAttribute(Qt::WA_QuitOnClose, true);
    PB = new RenderView(this);
    PB->setObjectName("PB");
    PB->setMinimumSize(320, 240);
    m_textures = new TexturesPanel(this);
    m_textures->setObjectName("Frame6");
    m_textures->setTitle("Texture");
    auto* row = new QHBoxLayout(this);
    row->addWidget(PB, 1);
    row->addWidget(m_textures);
    // A 1024 x 700 view where the screen has room for it; a smaller screen, or one under display
    // scaling, gets a window that fits it.
    resize(QSize(1024 + m_textures->sizeHint().width(), 700).boundedTo(roomOnScreen(this)));
    PB->installEventFilter(this);
    PB->setBeforeFrame([this] { beforeFrame(); });
    PB->setOverlay([this](QPainter& painter) { drawOverlay(painter); });
    m_clock.start();
}

LevelView::~LevelView() = default;

void LevelView::showLevel(level::TRLevel level, const QString& fileName) {
    m_level = std::move(level);
    buildTiles();
    PB->setStatics(viewer::BuildStaticMeshes(m_level));
    PB->setPlacements(viewer::StaticPlacements(m_level, -1));
    m_fileName = fileName;
    setWindowTitle(kViewerCaption + fileName + "]");
    viewer::PlaceCameraAtPlayer(m_camera, m_level);
    // Every room once, in the order they are drawn; the vertices are made as the first frame uploads them.
    PB->setRooms(viewer::RoomTriangles(m_level), viewer::RoomBounds(m_level));
    RoomsBuilt = true;
    PB->setFocus();
    PB->setContinuous(true);
}

// The strip is filled column by column; every third column the caption says how far it got and
// the window may repaint.
void LevelView::buildTiles() {
    const viewer::RgbaImage pages = viewer::BuildTexturePages(m_level);
    PB->setPages(pages);
    if (pages.width <= 0 || pages.height <= 0) {
        m_textures->setPages(QImage());
        return;
    }
    QImage strip(pages.width, pages.height, QImage::Format_RGBA8888);
    strip.fill(Qt::black);
    const auto stride = static_cast<std::size_t>(pages.width) * 4;
    for (int x = 0; x < pages.width; ++x) {
        for (int y = 0; y < pages.height; ++y) {
            const std::uint8_t* from = pages.pixels.data() + static_cast<std::size_t>(y) * stride + x * 4;
            std::copy(from, from + 4, strip.scanLine(y) + x * 4);
        }
        if (viewer::IsProgressColumn(x)) {
            setWindowTitle(qs(viewer::BuildingTilesCaption(x)));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    }
    m_textures->setPages(strip);
}

void LevelView::beforeFrame() {
    m_meter.FrameTick(static_cast<std::uint32_t>(m_clock.elapsed()));
    CurRoom = viewer::FindCameraRoom(m_level, m_camera.CamX, m_camera.CamY, m_camera.CamZ);
    const viewer::Vec3 eye{static_cast<float>(m_camera.CamX), static_cast<float>(m_camera.CamY),
                           static_cast<float>(m_camera.CamZ)};
    const viewer::Mat4 view = viewer::SetView(m_camera);
    // Only rooms around the eye and those reached through portals that face the camera can be seen.
    const float aspect = PB->height() > 0 ? float(PB->width()) / float(PB->height()) : 1.0f;
    PB->setRoomMask(viewer::PortalVisibleRooms(m_level, eye, viewer::Frustum(viewer::ProjectionMatrix(aspect) * view)));
    PB->setScene(view, viewer::Mat4::identity());
}

void LevelView::drawOverlay(QPainter& painter) {
    QFont font = painter.font();
    font.setPointSize(10);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(255, 0, 0));
    const QRect area = rect();
    const QString fps = qs(viewer::FpsText(m_meter.rate()));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, fps);
    // The room at pixel 80, or after the rate where a large font makes that longer.
    const int roomLeft = std::max(80, painter.fontMetrics().horizontalAdvance(fps + "  "));
    painter.drawText(area.adjusted(roomLeft, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, qs(viewer::RoomText(CurRoom)));
    // At the foot of the 3D view, which may be shorter than the window.
    if (m_clock.elapsed() < m_noticeUntil)
        painter.drawText(PB->rect().adjusted(4, 0, 0, -4), Qt::AlignLeft | Qt::AlignBottom, m_notice);
}

bool LevelView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PB && event->type() == QEvent::KeyPress) {
        // One step per key-down, auto-repeat included.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_F12 && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
            m_noticeUntil = 0;  // an earlier note is no part of the picture
            const QString saved = saveViewPicture();
            m_notice = saved.isEmpty() ? QStringLiteral("The picture could not be saved beside the level")
                                       : "Saved " + QFileInfo(saved).fileName();
            m_noticeUntil = m_clock.elapsed() + kNoticeMs;
            return true;
        }
        const int code = viewerKeyCode(*static_cast<QKeyEvent*>(event));
        if (code != 0 && viewer::ViewerKeyDown(m_camera, code)) return true;
    }
    return QWidget::eventFilter(watched, event);
}

QString LevelView::saveViewPicture() {
    const QFileInfo level(m_fileName);
    const QDir folder = level.absoluteDir();
    QString path;
    // Earlier pictures are never written over, nor is a link followed out of the folder.
    for (int n = 1; path.isEmpty() || QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = folder.filePath(level.completeBaseName() + QString("-view-%1.png").arg(n));
    return PB->grabFramebuffer().save(path, "PNG") ? path : QString();
}

void LevelView::closeEvent(QCloseEvent* event) {
    // Closing the viewer ends the program, whatever else is open.
    PB->setContinuous(false);
    event->accept();
    QCoreApplication::quit();
}

util::Result<level::TRLevel> LoadForViewing(const QString& path) {
    auto loaded = level::LoadLevel(toPath(path));
    if (!loaded) return loaded;
    std::error_code ec;
    const std::uintmax_t fileBytes = std::filesystem::file_size(toPath(path), ec);
    if (std::string refusal = viewer::ViewerFacesRefusal(*loaded, ec ? 0 : fileBytes); !refusal.empty())
        return util::Result<level::TRLevel>::failure(std::move(refusal));
    return loaded;
}

int runLevelView(const QString& commandLine, UserDialogs& dialogs, const DeviceInfo& device) {
    if (!ReportDevice(device, dialogs, nullptr)) return 1;
    QString path;
    if (commandLine.startsWith(QStringLiteral("/view"))) path = commandLine.mid(6);
    if (path.isEmpty()) path = dialogs.openFileName(nullptr, kOpenFilter);
    if (path.isEmpty()) return 0;
    auto loaded = LoadForViewing(path);
    if (!loaded) {
        dialogs.message(nullptr, LevelLoader::failureNamingFile(qs(loaded.error()), path));
        return 1;
    }
    LevelView window;
    window.show();
    try {
        window.showLevel(std::move(loaded.value()), path);
    } catch (const std::bad_alloc&) {
        dialogs.message(nullptr, "Not enough memory to show the level.");
        return 1;
    }
    return QApplication::exec();
}

}  // namespace tessarin::app
