#include "MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include <cstdio>

#include "ClickLabel.h"
#include "DemoController.h"
#include "HelpWindows.h"
#include "ItemsPanel.h"
#include "LevelBrowser.h"
#include "PreviewArea.h"
#include "QtConvert.h"
#include "RoomPanels.h"
#include "ScreenFit.h"
#include "SectorMap.h"
#include "SectorPanels.h"
#include "TexturesPanel.h"
#include "UserDialogs.h"
#include "util/FileIO.h"

namespace tessarin::app {

namespace {

// Qt key codes of the preview keys, by the Windows key codes the preview state knows.
int previewKeyCode(int qtKey) {
    switch (qtKey) {
    case Qt::Key_PageUp: return viewer::kKeyPageUp;
    case Qt::Key_PageDown: return viewer::kKeyPageDown;
    case Qt::Key_Left: return viewer::kKeyLeft;
    case Qt::Key_Up: return viewer::kKeyUp;
    case Qt::Key_Right: return viewer::kKeyRight;
    case Qt::Key_Down: return viewer::kKeyDown;
    default: return 0;
    }
}

}  // namespace

Tessarin2_Frm::Tessarin2_Frm(std::unique_ptr<UserDialogs> dialogs, Preview3D preview3D, QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>()) {
    setObjectName("Tessarin2_Frm");
    setWindowTitle(kCaption);
    setAcceptDrops(true);
    buildLayout();
    buildMenus();
    fitToScreen();
    resize(minimumSize());
    connectPanels();
    loadObjectNames();
    // Key preview: the preview keys reach the window whichever control has the focus.
    qApp->installEventFilter(this);
    setupPreview(preview3D);
    Running = true;
}

void Tessarin2_Frm::fitToScreen() {
    // The smallest size that shows every panel whole is the window's minimum and its default, as far
    // as the screen has room. It is set on the window rather than left to the panels: a docked Level
    // Browser then takes its room from the panels, which scroll, instead of pushing the window past
    // the screen's edge, and so does a screen too small for them.
    auto* panels = static_cast<QScrollArea*>(centralWidget());
    panels->setMinimumSize(panels->widget()->minimumSizeHint());
    setMinimumSize(minimumSizeHint());
    panels->setMinimumSize(0, 0);
    keepWithinScreen();
}

void Tessarin2_Frm::keepWithinScreen() {
    const QSize room = roomOnScreen(this);
    setMinimumSize(minimumSize().boundedTo(room));
    if (width() > room.width() || height() > room.height()) resize(size().boundedTo(room));
}

void Tessarin2_Frm::showEvent(QShowEvent* event) {
    // Shown on another screen than the one it was made for, or a smaller one.
    if (!isMaximized() && !isFullScreen()) keepWithinScreen();
    QMainWindow::showEvent(event);
}

Tessarin2_Frm::~Tessarin2_Frm() {
    qApp->removeEventFilter(this);
    delete m_about;
}

void Tessarin2_Frm::buildLayout() {
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("Panels");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto* central = new QWidget;
    auto* columns = new QHBoxLayout(central);

    auto* left = new QVBoxLayout;
    auto* mapRow = new QWidget(central);
    m_map = new SectorMap(mapRow);
    // Scroll bars for rooms larger than the 300 x 300 map, under and beside it.
    m_mapScrollX = new QScrollBar(Qt::Horizontal, mapRow);
    m_mapScrollX->setObjectName("MapScrollX");
    m_mapScrollX->setGeometry(0, SectorMap::kMapSize + 4, SectorMap::kMapSize, 16);
    m_mapScrollY = new QScrollBar(Qt::Vertical, m_map);
    m_mapScrollY->setObjectName("MapScrollY");
    m_mapScrollY->setGeometry(SectorMap::kMapSize + 1, 0, SectorMap::kPreviewLeft - SectorMap::kMapSize - 2,
                              SectorMap::kMapSize);
    m_mapScrollX->hide();
    m_mapScrollY->hide();
    // The map keeps its size; an enlarged window gives the preview beside it a larger square.
    auto* mapRowLayout = new QVBoxLayout(mapRow);
    mapRowLayout->setContentsMargins(0, 0, 0, 0);
    mapRowLayout->setSizeConstraint(QLayout::SetMinAndMaxSize);  // no taller than the preview can use
    mapRowLayout->addWidget(m_map);
    mapRow->setMinimumSize(m_map->minimumSize());
    m_mapScrollX->raise();
    left->addWidget(mapRow, 100);

    m_sectors = new SectorsPanel(central);
    m_doors = new DoorsPanel(central);
    m_triggers = new TriggersPanel(central);
    m_items = new ItemsPanel(central);
    m_statics = new StaticMeshesPanel(central);
    m_rooms = new RoomsPanel(central);
    m_textures = new TexturesPanel(central);
    // Three columns, so that the window fits a 1366 x 768 screen: the map and preview above the
    // item panels, the room and sector panels beside them, the texture strip on the right.
    auto* itemRow = new QHBoxLayout;
    itemRow->addWidget(m_items, 1);
    itemRow->addWidget(m_statics);
    left->addLayout(itemRow);
    left->addStretch(1);
    columns->addLayout(left, 1);

    auto* middle = new QVBoxLayout;
    middle->addWidget(m_rooms);
    middle->addWidget(m_sectors);
    middle->addWidget(m_doors);
    middle->addWidget(m_triggers);
    middle->addStretch(1);
    columns->addLayout(middle);
    columns->addWidget(m_textures);
    scroll->setWidget(central);
    setCentralWidget(scroll);

    // Without a parent: disabling the main window would disable a child window too.
    m_about = new About_Frm(nullptr);
    m_mineCartHelp = new MineCartHelp_Frm(this);
    // Captions and visibility before any level is open: the buttons belong to TR3 and later.
    for (QWidget* w : {static_cast<QWidget*>(m_sectors->FD20), static_cast<QWidget*>(m_sectors->FD21),
                       static_cast<QWidget*>(m_sectors->Minecart_Stop)})
        w->setEnabled(false);
    m_items->AllItems->setEnabled(false);
    statusBar()->showMessage("Open a level with File, Open (Ctrl+O) or drop a level file on the window.");
}

void Tessarin2_Frm::buildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("Mnu_File");
    auto add = [this](QMenu* menu, const char* name, const QString& text, QKeySequence key, auto handler) {
        QAction* action = menu->addAction(text);
        action->setObjectName(name);
        if (!key.isEmpty()) action->setShortcut(key);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    add(file, "Mnu_File_Open", "&Open", QKeySequence::Open, [this] { Mnu_File_Open_Click(); });
    add(file, "Mnu_File_Save", "&Save", QKeySequence::Save, [this] { Mnu_File_Save_Click(); });
    add(file, "Mnu_File_SaveAs", "Save As...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
        [this] { Mnu_File_SaveAs_Click(); });
    file->addSeparator()->setObjectName("Mnu_File_Line1");
    add(file, "Mnu_File_Quit", "&Quit", QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { Mnu_File_Quit_Click(); });

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("Mnu_Edit");
    add(edit, "Mnu_Edit_TR4", "&Import TR4", QKeySequence(), [this] { Mnu_Edit_TR4_Click(); })
        ->setToolTip("Convert a TR4 level into a TR3 level (TR2 while a TR2 level is open)");
    add(edit, "Mnu_Edit_LoadPRJ", "Import &PRJ", QKeySequence(), [] {})->setEnabled(false);
    addUndoActions(edit);

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("Mnu_Help");
    add(help, "Mnu_Help_MineCart", "&MineCart Help", QKeySequence(), [this] { Mnu_Help_MineCart_Click(); });
    add(help, "Mnu_Help_About", "&About", QKeySequence(), [this] { Mnu_Help_About_Click(); });

    QMenu* demo = menuBar()->addMenu("&Demo");
    demo->setObjectName("Mnu_Demo");
    m_demo = new DemoController(this, demo, m_session, m_preview, *m_dialogs, [this] { markChanged(); });
    for (QMenu* menu : {file, edit, help, demo}) menu->setToolTipsVisible(true);
    addMapTools(file);
    addHints(file);
}

void Tessarin2_Frm::loadObjectNames() {
    editor::ObjectNamesLoad load = editor::LoadObjectNamesBeside(util::programFolder());
    if (load.warning) {
        // Object names are a help, not a need: the editor works without them and says why they are missing.
        std::fprintf(stderr, "tessarin2: %s\n", load.warning->c_str());
        statusBar()->showMessage(QString::fromStdString(*load.warning));
    }
    m_session.setNames(std::move(load.names));
}

bool Tessarin2_Frm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // Only the first receiver of a key press counts, so a propagated event is not seen twice.
        auto* widget = qobject_cast<QWidget*>(watched);
        const bool first = widget && (widget == QApplication::focusWidget() ||
                                      (!QApplication::focusWidget() && widget == this));
        // The level browser, docked or not, keeps its keys: they move in its filter and its list. So
        // does the menu bar, which walks its menus with the arrows once Alt has given it the keys.
        if (first && widget->window() == this && !(m_browser && m_browser->isAncestorOf(widget)) &&
            !qobject_cast<QMenuBar*>(widget)) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const int code = previewKeyCode(key);
            if (code != 0) {
                if (viewer::PreviewKeyDown(m_preview, code)) requestPreviewFrame();
                // The key is the preview's. Passed on, it would also act where the focus is while
                // the user steers the view: a closed drop-down list would step through its entries
                // (retyping the item, changing room), a button would hand the focus on, and the
                // panels would scroll. Only a field being typed in keeps Left and Right for its cursor.
                const auto* field = qobject_cast<QLineEdit*>(widget);
                const bool cursorKey = key == Qt::Key_Left || key == Qt::Key_Right;
                return !(field && !field->isReadOnly() && cursorKey);
            }
        }
    }
    // The wheel over the object list would retype the item with every entry it passes; the list
    // changes only by a choice from it.
    if (event->type() == QEvent::Wheel && watched == m_items->ItemDesc) return true;
    return QMainWindow::eventFilter(watched, event);
}

bool Tessarin2_Frm::confirmDiscard() {
    // A recording in progress is unsaved work too. It is closed only once the answer is known, so
    // that Cancel leaves it running and Yes saves it.
    if (!FileChanged && !m_demo->Recording()) return true;
    m_demo->pause();
    switch (m_dialogs->askYesNoCancel(this, kUnsavedQuestion)) {
    case QMessageBox::Yes:
        m_demo->Mnu_Demo_Stop_Click();
        // A save that fails or is refused (a version that is never written) keeps the level open:
        // the user asked to keep the edits, and only No lets them go.
        return Mnu_File_Save_Click();
    case QMessageBox::No: m_demo->Mnu_Demo_Stop_Click(); return true;
    default: m_demo->resume(); return false;
    }
}

void Tessarin2_Frm::Mnu_File_Quit_Click() { close(); }

void Tessarin2_Frm::closeEvent(QCloseEvent* event) {
    if (!confirmDiscard()) {
        event->ignore();
        return;
    }
    Running = false;
    m_frameTimer.stop();
    m_about->close();
    m_mineCartHelp->close();
    // A floating browser is a window of its own: left open it would keep the program running.
    if (m_browser) m_browser->close();
    event->accept();
}

void Tessarin2_Frm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().value(0).isLocalFile())
        event->acceptProposedAction();
}

void Tessarin2_Frm::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    QString path = urls.first().toLocalFile();
    // A name that is no UTF-8 text (Latin-1, from an old archive) is taken from the list's own bytes,
    // where the file manager encoded them: the URL made of them holds something else in their place.
    const QByteArray first = event->mimeData()->data("text/uri-list").split('\n').value(0).trimmed();
    QByteArray local = first.startsWith("file://") ? first.mid(7) : QByteArray();
    if (local.startsWith("localhost/")) local = local.mid(9);
    if (local.startsWith('/')) path = pathText(QByteArray::fromPercentEncoding(local).toStdString());
    if (confirmDiscard()) openLevel(path);
}

void Tessarin2_Frm::Mnu_Help_About_Click() {
    // The main window stays disabled while the about window shows.
    setEnabled(false);
    connect(m_about, &QDialog::finished, this, [this] { setEnabled(true); }, Qt::SingleShotConnection);
    // Owned by the main window on screen (not as a widget), so it never falls behind the window it
    // has disabled.
    m_about->winId();
    if (m_about->windowHandle() && windowHandle()) m_about->windowHandle()->setTransientParent(windowHandle());
    m_about->show();
    m_about->raise();
}

void Tessarin2_Frm::Mnu_Help_MineCart_Click() {
    m_mineCartHelp->show();
    m_mineCartHelp->raise();
}

}  // namespace tessarin::app
