#pragma once
// Tessarin2_Frm: the editor's main window. The core's EditorSession decides; the window forwards
// the user's actions to it and copies what it computed into the controls.
//
// The class is split by what each part does:
//   MainWindow.cpp             construction: the layout, the menus, the frame timer, window events
//                              (close, drag and drop, keys for the preview), the help windows
//   MainWindowFileCommands.cpp opening, showing, importing and saving a level
//   MainWindowControls.cpp     the control handlers: room list, map clicks, minecart, items
//   MainWindowRefresh.cpp      copying the session's state into the panels and the map
#include <QMainWindow>
#include <QHash>
#include <QTimer>
#include <cstdint>
#include <memory>

#include "UserDialogs.h"
#include "editor/EditorSession.h"
#include "editor/RecentFiles.h"
#include "editor/UndoHistory.h"
#include "viewer/Camera.h"
#include "viewer/PreviewControls.h"
#include "viewer/RoomPolys.h"
#include "viewer/TexturePages.h"

class QAction;
class QLabel;
class QWidget;
class QMenu;
class QScrollBar;

namespace tessarin::app {

class About_Frm;
class DemoController;
class ItemsPanel;
class LevelBrowser;
class MineCartHelp_Frm;
class RenderView;
class DoorsPanel;
class RoomsPanel;
class SectorMap;
class SectorsPanel;
class StaticMeshesPanel;
class TexturesPanel;
class TriggersPanel;

inline const QString kOpenFilter = QStringLiteral("Tomb Raider levels(*.phd;*.tr2;*.tr4;*.trc)|*.phd;*.tr2;*.tr4;*.trc");
inline const QString kSaveFilter = QStringLiteral("Tomb Raider levels(*.tr2;*.tr4;*.trc)|*.tr2;*.tr4;*.trc");
inline const QString kChooseSectorFirst = QStringLiteral("Choose a sector on the map first.");
inline const QString kUnsavedQuestion = QStringLiteral("Current file isn't saved. Save it now?");
inline const QString kCaption = QStringLiteral("Tessarin 2.9");

class Tessarin2_Frm : public QMainWindow {
    Q_OBJECT
public:
    // Whether the room preview draws in 3D. The program starts it On once the device set-up has
    // found a device; widget tests on a platform without OpenGL leave it Off.
    enum class Preview3D { Off, On };

    // `dialogs` answers file choosers and message boxes; null uses the desktop's own.
    explicit Tessarin2_Frm(std::unique_ptr<UserDialogs> dialogs = nullptr, Preview3D preview3D = Preview3D::Off,
                           QWidget* parent = nullptr);
    ~Tessarin2_Frm() override;

    // Reads the level and, when that works, shows it; a failure shows its message and keeps the
    // open level. `title` is the file title for the caption (the file name when empty).
    bool openLevel(const QString& path, const QString& title = QString());
    // Shows a level already read from `path`: every panel, the caption and the texture strip. Says
    // why and returns false when it cannot; the level that was open then stays open.
    bool showLevel(level::TRLevel opened, const QString& path, const QString& title = QString());
    // The caption of a window showing the level named `name`.
    void showCaption(const QString& name);
    // Writes the open level to `path`; shows "Project saved" or why nothing was written.
    bool saveLevelTo(const QString& path);

    editor::EditorSession& session() { return m_session; }
    const viewer::PreviewControls& preview() const { return m_preview; }
    const viewer::Camera& previewCamera() const { return m_camera; }
    const viewer::RoomPolyList& previewPolys() const { return m_previewPolys; }
    // The 3D preview, or null when the window was made without it.
    RenderView* previewView() const { return m_previewView; }
    DemoController& demo() { return *m_demo; }
    bool fileChanged() const { return FileChanged; }
    const QString& fileName() const { return FileName; }
    bool isRunning() const { return Running; }

    // Menu handlers.
    void Mnu_File_Open_Click();
    bool Mnu_File_Save_Click();
    bool Mnu_File_SaveAs_Click();
    void Mnu_File_Quit_Click();
    // Converts a chosen TR4 level into a TR3 level (TR2 when a TR2 level is open) and shows it.
    bool Mnu_Edit_TR4_Click();
    void Mnu_Help_About_Click();
    void Mnu_Help_MineCart_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildLayout();
    void widenForBrowser();
    void narrowAfterBrowser();
    void fitToScreen();
    void keepWithinScreen();
    void buildMenus();
    void connectPanels();
    void loadObjectNames();
    bool confirmDiscard();
    void frameTick();
    // Asks for one preview frame after the frame interval; nothing runs while nothing changes.
    void requestPreviewFrame();
    void setupPreview(Preview3D preview3D);
    void previewLevelOpened(const viewer::RgbaImage& pages);
    void markChanged() {
        FileChanged = true;
        m_history.changedOutside();
    }
    // Undo and redo (MainWindowUndo.cpp): an edit made after `before` was taken becomes a step.
    void addUndoActions(QMenu* edit);
    void recordEdit(editor::LevelSnapshot before, const char* what);
    void Mnu_Edit_Undo_Click();
    void Mnu_Edit_Redo_Click();
    void updateUndoActions();
    void showRestored(const editor::UndoHistory::Restored& restored, const QString& verb);
    // Map zoom, hover and exports (MainWindowMapTools.cpp).
    void addMapTools(QMenu* file);
    void zoomMap(int steps);
    void setMapCell(int cell);
    void showZoomedMap();
    void SectorMap_Hover(QPoint pixel);
    // The hover line again after an edit, while it is still the status bar's message.
    void refreshHoverLine();
    void showHoverLine();
    void Mnu_File_ExportMap_Click();
    void Mnu_File_ExportTextures_Click();
    // Hints (MainWindowHints.cpp): inactive controls, stale triggers, unsaved mark, recent files.
    void addHints(QMenu* file);
    void updateUnsavedMark();
    void showTriggerStaleness(bool current);
    void rememberRecent(const QString& path);
    void fillRecentMenu();
    void refreshBrowser();

    // Copy the session's state into the controls.
    void applyLevelPanels();
    void applySectorInfo();
    void applyMap();
    void updateMapScrollBars();
    // All of the above; a change of the shown room also asks the preview to rebuild.
    void refreshAll();
    void showFeedback(const editor::Feedback& feedback);

    // Control handlers.
    void RoomNumber_Click(int index);
    void SectorMap_MouseDown(QPoint pixel, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void DrawDoors_Click();
    void MinecartButton_Click(int mode);
    void SecCurItem_Click(int index);
    void ItemDesc_Click(int index);
    void AllItems_Click(bool checked);
    void ItemFacing_Click(editor::Facing facing);
    void ItemAdd_Click();
    void ItemNextTrigger_Click();
    void GotoObject_Click();
    // False, with a word in the status bar, while no sector of the current room is chosen.
    bool sectorChosenOrSay();

    std::unique_ptr<UserDialogs> m_dialogs;
    editor::EditorSession m_session;
    viewer::PreviewControls m_preview;
    viewer::Camera m_camera;
    viewer::RoomPolyList m_previewPolys;
    RenderView* m_previewView = nullptr;
    int m_markedX = -1, m_markedZ = -1;  // the selection the preview's list was marked for
    // Each room's bounds, for the preview's culling: the rooms' vertices do not change while a level
    // is open, and walking them all again on every click cost a large level a tenth of a second.
    std::vector<viewer::Box> m_previewRoomBounds;

    // The window's own state, under the program's names.
    bool Running = false;
    bool FileChanged = false;
    QString FileName;
    // Every level shown is numbered when it is opened or imported, and a step that brings a level
    // back brings its number back. Save asks before it replaces a file that does not hold the level
    // shown: the one an imported level is named after, which may hold earlier work (even a level
    // opened here before), or a level's own file that another level was saved over since.
    std::uint64_t m_levelId = 0;
    std::uint64_t m_nextLevelId = 1;
    // The level each file was last read from or written with here.
    QHash<QString, std::uint64_t> m_fileHolds;

    SectorMap* m_map = nullptr;
    QScrollBar* m_mapScrollX = nullptr;
    QScrollBar* m_mapScrollY = nullptr;
    SectorsPanel* m_sectors = nullptr;
    DoorsPanel* m_doors = nullptr;
    TriggersPanel* m_triggers = nullptr;
    RoomsPanel* m_rooms = nullptr;
    ItemsPanel* m_items = nullptr;
    StaticMeshesPanel* m_statics = nullptr;
    TexturesPanel* m_textures = nullptr;
    About_Frm* m_about = nullptr;
    MineCartHelp_Frm* m_mineCartHelp = nullptr;
    DemoController* m_demo = nullptr;
    QTimer m_frameTimer;
    editor::UndoHistory m_history;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    editor::RecentFiles m_recent;
    QMenu* m_recentMenu = nullptr;
    QLabel* m_unsavedMark = nullptr;
    LevelBrowser* m_browser = nullptr;
    // The window's frame place and size before docking the browser widened it, and the size it
    // was widened to.
    QRect m_beforeDocking;
    QSize m_widenedTo;
    int m_shownRoom = -1;
    // The hover line last shown and its sector; the line goes when the mouse leaves the map.
    QString m_hoverLine;
    QPoint m_hoverSector;
};

}  // namespace tessarin::app
