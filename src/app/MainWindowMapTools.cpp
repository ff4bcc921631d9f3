// The map's additions: zoom, the hover line in the status bar, the colour legend, and exporting
// the map and the texture pages as PNG pictures.
#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "DemoController.h"
#include "MainWindow.h"
#include "QtConvert.h"
#include "SectorMap.h"
#include "editor/MapImage.h"
#include "editor/SectorHover.h"
#include "util/Png.h"
#include "viewer/TexturePages.h"

namespace tessarin::app {

inline const QString kPngFilter = QStringLiteral("PNG images(*.png)|*.png");

void Tessarin2_Frm::addMapTools(QMenu* file) {
    auto add = [this](QMenu* menu, const char* name, const QString& text, QList<QKeySequence> keys, auto handler) {
        QAction* action = menu->addAction(text);
        action->setObjectName(name);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    // Placed before the Quit line of the File menu.
    QAction* quitLine = file->findChild<QAction*>("Mnu_File_Line1");
    QMenu exports;
    add(&exports, "Mnu_File_ExportMap", "Export &Map Image...", {}, [this] { Mnu_File_ExportMap_Click(); });
    add(&exports, "Mnu_File_ExportTextures", "Export &Textures...", {}, [this] { Mnu_File_ExportTextures_Click(); });
    for (QAction* a : exports.actions()) {
        a->setParent(file);
        file->insertAction(quitLine, a);
    }

    QMenu* view = menuBar()->addMenu("&View");
    view->setObjectName("Mnu_View");
    add(view, "Mnu_View_ZoomIn", "Zoom Map &In", {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
        [this] { zoomMap(+1); });
    add(view, "Mnu_View_ZoomOut", "Zoom Map &Out", {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
        [this] { zoomMap(-1); });
    add(view, "Mnu_View_ZoomFit", "Fit &Map", {QKeySequence(Qt::CTRL | Qt::Key_M)},
        [this] { setMapCell(m_session.map().fitCellPixels()); });
    add(view, "Mnu_View_ZoomActual", "&Actual Size Map", {QKeySequence(Qt::CTRL | Qt::Key_0)},
        [this] { setMapCell(editor::SectorMap::kCellSize); });

    connect(m_map, &SectorMap::zoomWheel, this, &Tessarin2_Frm::zoomMap);
    connect(m_map, &SectorMap::mapHover, this, &Tessarin2_Frm::SectorMap_Hover);
    m_map->setToolTip(qs(editor::mapLegend(level::kVersionNone)));
}

void Tessarin2_Frm::zoomMap(int steps) {
    m_session.map().zoomBy(steps);
    showZoomedMap();
}

void Tessarin2_Frm::setMapCell(int cell) {
    m_session.map().setCellPixels(cell);
    showZoomedMap();
}

void Tessarin2_Frm::showZoomedMap() {
    // Keep the selected sector in view after the zoom moved it.
    if (const auto outline = m_session.outline()) m_session.map().scrollToShow(outline->x, outline->z);
    applyMap();
    statusBar()->showMessage(QStringLiteral("Map cells of %1 pixels").arg(m_session.map().cellPixels()));
}

void Tessarin2_Frm::SectorMap_Hover(QPoint pixel) {
    if (pixel.x() < 0) {
        // Left standing, the line would describe a sector nobody points at, and go stale as it is edited.
        if (!m_hoverLine.isEmpty() && statusBar()->currentMessage() == m_hoverLine) statusBar()->clearMessage();
        m_hoverLine.clear();
        return;
    }
    if (!m_session.LevelLoaded) return;
    const auto hit = m_session.map().sectorAtPixel(pixel.x(), pixel.y());
    if (!hit) return;
    m_hoverSector = QPoint(hit->x, hit->z);
    showHoverLine();
}

void Tessarin2_Frm::refreshHoverLine() {
    if (!m_hoverLine.isEmpty() && statusBar()->currentMessage() == m_hoverLine) showHoverLine();
}

void Tessarin2_Frm::showHoverLine() {
    m_hoverLine = m_session.LevelLoaded
                      ? qs(editor::describeHover(m_session.Level, m_session.CurRoom, m_hoverSector.x(), m_hoverSector.y()))
                      : QString();
    statusBar()->showMessage(m_hoverLine);
}

namespace {

// The level's file name without its ending, to name what is exported from it.
QString stemOf(const QString& fileName) {
    const QString stem = QFileInfo(fileName).completeBaseName();
    return stem.isEmpty() ? QStringLiteral("level") : stem;
}

}  // namespace

void Tessarin2_Frm::Mnu_File_ExportMap_Click() {
    if (!m_session.LevelLoaded) return;
    const DemoController::Pause paused(*m_demo);
    const QString path = m_dialogs->saveFileName(this, kPngFilter, QStringLiteral("Export Map Image"),
                                                 QStringLiteral("%1-room%2.png").arg(stemOf(FileName)).arg(m_session.CurRoom));
    if (path.isEmpty()) return;
    const editor::SectorMap& map = m_session.map();
    if (const std::string refusal = editor::mapImageRefusal(map, map.cellPixels()); !refusal.empty()) {
        m_dialogs->message(this, qs("The map was not saved: " + refusal + "."));
        return;
    }
    const util::Status status = util::writePng(toPath(path), editor::renderMapImage(map, map.cellPixels()));
    if (!status) {
        m_dialogs->message(this, qs(status.error()));
        return;
    }
    statusBar()->showMessage("Map saved to " + path);
}

void Tessarin2_Frm::Mnu_File_ExportTextures_Click() {
    if (!m_session.LevelLoaded) return;
    const DemoController::Pause paused(*m_demo);
    const QString path = m_dialogs->saveFileName(this, kPngFilter, QStringLiteral("Export Textures"),
                                                 stemOf(FileName) + QStringLiteral("-textures.png"));
    if (path.isEmpty()) return;
    // Every page in one picture, page i below page i - 1.
    viewer::RgbaImage pages = viewer::BuildTexturePages(m_session.Level);
    util::RgbaPixels image;
    image.width = pages.width;
    image.height = pages.height;
    image.pixels = std::move(pages.pixels);
    const util::Status status = util::writePng(toPath(path), image);
    if (!status) {
        m_dialogs->message(this, qs(status.error()));
        return;
    }
    statusBar()->showMessage("Textures saved to " + path);
}

}  // namespace tessarin::app
