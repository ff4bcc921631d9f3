// What the window tells beyond the panels: controls without an action look so, a trigger list
// kept from an earlier sector looks stale, the unsaved mark, and the recent files.
#include <algorithm>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>

#include "DemoController.h"
#include "ItemsPanel.h"
#include "LevelBrowser.h"
#include "MainWindow.h"
#include "QtConvert.h"
#include "RoomPanels.h"
#include "ScreenFit.h"
#include "SectorPanels.h"

namespace tessarin::app {

namespace {

inline const QString kNoActionTip = QStringLiteral("Not available: this control has no action yet.");
inline const QString kStaleTip =
    QStringLiteral("This sector has no trigger: the list still shows the last sector that had one.");

std::filesystem::path recentFilesPath() {
    return toPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/tessarin2/recent-files");
}

}  // namespace

void Tessarin2_Frm::addHints(QMenu* file) {
    for (QWidget* w : std::initializer_list<QWidget*>{m_rooms->RoomAdd, m_rooms->RoomDelete, m_rooms->ViewMode,
                                                      m_statics->StaticAdd, m_statics->StaticRemove,
                                                      m_items->ItemRemove, m_sectors->FloorWall}) {
        w->setEnabled(false);
        w->setToolTip(kNoActionTip);
    }

    m_unsavedMark = new QLabel(this);
    m_unsavedMark->setObjectName("UnsavedMark");
    statusBar()->addPermanentWidget(m_unsavedMark);
    // Most changes update the mark at once; the timer catches any other path that sets FileChanged.
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &Tessarin2_Frm::updateUnsavedMark);
    timer->start(250);

    m_recentMenu = new QMenu("Recent &Files", file);
    m_recentMenu->setObjectName("Mnu_File_Recent");
    file->insertMenu(file->findChild<QAction*>("Mnu_File_Line1"), m_recentMenu);
    m_recent.load(recentFilesPath());
    fillRecentMenu();
    // The list is shared with the program's other windows: what they opened shows here too.
    connect(file, &QMenu::aboutToShow, this, [this] {
        m_recent.load(recentFilesPath());
        fillRecentMenu();
    });

    m_browser = new LevelBrowser(this);
    addDockWidget(Qt::RightDockWidgetArea, m_browser);
    // Floating at first: docked, it would squeeze the fixed-size map and panels on a small screen.
    m_browser->setFloating(true);
    m_browser->resize(QSize(460, 520).boundedTo(roomOnScreen(this)));
    m_browser->hide();
    connect(m_browser, &QDockWidget::topLevelChanged, this, [this](bool floating) {
        if (!floating) widenForBrowser();
        else narrowAfterBrowser();
    });
    QMenu* view = findChild<QMenu*>("Mnu_View");
    QAction* toggle = m_browser->toggleViewAction();
    toggle->setObjectName("Mnu_View_Browser");
    toggle->setText("Level &Browser");
    view->addSeparator();
    view->addAction(toggle);
    QAction* find = view->addAction("&Find in Level...");
    find->setObjectName("Mnu_View_Find");
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, m_browser, &LevelBrowser::focusFilter);
    QAction* goTo = view->addAction("&Go to Room...");
    goTo->setObjectName("Mnu_View_GoToRoom");
    goTo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(goTo, &QAction::triggered, this, [this] {
        if (!m_session.LevelLoaded || m_session.Level.Rooms.empty()) return;
        bool ok = false;
        const DemoController::Pause paused(*m_demo);
        const int last = static_cast<int>(m_session.Level.Rooms.size()) - 1;
        const int room = QInputDialog::getInt(this, "Go to Room", QStringLiteral("Room (0 to %1):").arg(last),
                                              m_session.CurRoom, 0, last, 1, &ok);
        if (ok) RoomNumber_Click(room);
    });
    connect(m_browser, &LevelBrowser::entryChosen, this, [this](const editor::BrowserEntry& e) {
        if (!m_session.goToEntry(e)) {
            statusBar()->showMessage(qs(editor::entryLabel(e)) + " stands outside its room");
            return;
        }
        refreshAll();
    });
}

void Tessarin2_Frm::widenForBrowser() {
    // Docked, the browser takes its width from the panels; the window grows by as much as the
    // screen has room for, moving left if it must, and the panels scroll for the rest.
    if (isMaximized() || isFullScreen() || !screen()) return;
    const QRect screenArea = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    const int frameExtra = frame.width() - width();
    const int wanted = std::min(width() + m_browser->width(), screenArea.width() - frameExtra);
    if (wanted <= width()) return;
    m_beforeDocking = {frame.topLeft(), size()};
    resize(wanted, height());
    m_widenedTo = size();
    const int overhang = frame.left() + wanted + frameExtra - (screenArea.right() + 1);
    if (overhang > 0) move(std::max(screenArea.left(), frame.left() - overhang), frame.top());
}

void Tessarin2_Frm::narrowAfterBrowser() {
    // Back to the size (and place) it had, unless the user has sized the window since.
    if (m_widenedTo.isValid() && size() == m_widenedTo && !isMaximized() && !isFullScreen()) {
        resize(m_beforeDocking.size());
        move(m_beforeDocking.topLeft());
    }
    m_widenedTo = QSize();
}

void Tessarin2_Frm::refreshBrowser() {
    if (m_browser)
        m_browser->setEntriesSource([this] { return editor::listLevelObjects(m_session.Level, m_session.names()); });
}

void Tessarin2_Frm::updateUnsavedMark() {
    if (m_unsavedMark) m_unsavedMark->setText(FileChanged ? QStringLiteral("Unsaved changes") : QString());
}

void Tessarin2_Frm::showTriggerStaleness(bool current) {
    for (QWidget* w : std::initializer_list<QWidget*>{m_triggers->TriggerData, m_triggers->TriggerTimer}) {
        w->setEnabled(current);
        w->setToolTip(current ? QString() : kStaleTip);
    }
    for (QLabel* flag : m_triggers->TriggerFlags) flag->setEnabled(current);
}

void Tessarin2_Frm::rememberRecent(const QString& path) {
    m_dialogs->setStartFolder(QFileInfo(path).absolutePath());
    // Taken afresh, so that what another window added meanwhile is kept.
    m_recent.load(recentFilesPath());
    m_recent.add(toPath(QFileInfo(path).absoluteFilePath()).string());
    // A store that cannot be written only costs the menu its memory.
    (void)m_recent.save(recentFilesPath());
    fillRecentMenu();
}

void Tessarin2_Frm::fillRecentMenu() {
    m_recentMenu->clear();
    int n = 0;
    for (const std::string& p : m_recent.items()) {
        const QString path = pathText(p);
        // '&' in a path would otherwise mark a shortcut letter and vanish from the menu.
        QAction* a = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(QString(path).replace('&', "&&")));
        connect(a, &QAction::triggered, this, [this, path] {
            if (!confirmDiscard()) return;
            // Only a file that is gone leaves the list: a cancelled or failed open keeps it.
            if (!openLevel(path) && !std::filesystem::exists(toPath(path))) {
                m_recent.load(recentFilesPath());
                m_recent.remove(toPath(path).string());
                (void)m_recent.save(recentFilesPath());
                fillRecentMenu();
            }
        });
    }
    m_recentMenu->setEnabled(!m_recent.items().empty());
}

}  // namespace tessarin::app
