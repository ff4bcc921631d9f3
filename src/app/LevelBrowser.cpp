#include "LevelBrowser.h"

#include <algorithm>
#include <optional>
#include <utility>

#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

#include "QtConvert.h"
#include "ScreenFit.h"

namespace tessarin::app {

namespace {

enum Column { kLabel, kName, kRoom, kX, kY, kZ };

// The entry column sorts by kind, then number ("Item 2" before "Item 10"); the others by value.
class Row : public QTreeWidgetItem {
public:
    Row(int kind, int number) : m_kind(kind), m_number(number) {}
    std::pair<int, int> entry() const { return {m_kind, m_number}; }
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : kLabel;
        if (column != kLabel) return QTreeWidgetItem::operator<(other);
        const auto& o = static_cast<const Row&>(other);
        return m_kind != o.m_kind ? m_kind < o.m_kind : m_number < o.m_number;
    }

private:
    int m_kind, m_number;
};

}  // namespace

LevelBrowser::LevelBrowser(QWidget* parent)
    : QDockWidget("Level Browser", parent), m_more(new QLabel), m_filter(new QLineEdit), m_kind(new QComboBox),
      m_list(new QTreeWidget) {
    setObjectName("LevelBrowser");
    m_filter->setObjectName("BrowserFilter");
    m_filter->setPlaceholderText("Filter by number, name or \"room N\" (Ctrl+F)");
    m_filter->setClearButtonEnabled(true);
    m_kind->setObjectName("BrowserKind");
    m_kind->addItems({"All", "Items", "AI objects", "Static meshes"});
    m_list->setObjectName("BrowserList");
    m_list->setHeaderLabels({"Entry", "Name", "Room", "X", "Y", "Z"});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    // Columns fit the rows in view and a few hundred more: measuring all ten thousand texts again
    // cost a large level a tenth of a second on every edit and every key in the filter.
    m_list->header()->setResizeContentsPrecision(200);
    m_list->setSortingEnabled(true);
    m_list->sortByColumn(kLabel, Qt::AscendingOrder);
    m_list->setToolTip("Double-click an entry to go to its room and sector");

    auto* body = new QWidget;
    auto* box = new QVBoxLayout(body);
    auto* row = new QHBoxLayout;
    row->addWidget(m_filter, 1);
    row->addWidget(m_kind);
    box->addLayout(row);
    box->addWidget(m_list, 1);
    m_more->setObjectName("BrowserMore");
    m_more->hide();
    box->addWidget(m_more);
    setWidget(body);

    connect(m_filter, &QLineEdit::textChanged, this, &LevelBrowser::refill);
    connect(m_kind, &QComboBox::currentIndexChanged, this, &LevelBrowser::refill);
    // Floated again from the dock (its button or a double-click on its title), it came back at the
    // screen's corner over the map; it goes by the window's right edge as when first shown. One
    // dragged out of the dock stays under the mouse that holds it.
    connect(this, &QDockWidget::topLevelChanged, this, [this](bool floating) {
        QTimer::singleShot(0, this, [this, floating] {
            if (floating && isFloating() && isVisible() && parentWidget() && parentWidget()->isVisible() &&
                !frameGeometry().contains(QCursor::pos()))
                placeByWindow();
        });
    });
    connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        // Rows of entries the level no longer has (it changed a moment ago) are made again instead.
        if (m_stale) {
            loadIfStale();
            return;
        }
        const auto i = item->data(kLabel, Qt::UserRole).toULongLong();
        if (i < m_entries.size()) emit entryChosen(m_entries[i]);
    });
}

void LevelBrowser::setEntriesSource(std::function<std::vector<editor::BrowserEntry>()> source) {
    m_source = std::move(source);
    m_stale = true;
    if (!isVisible()) {
        m_entries.clear();
        m_list->clear();
        return;
    }
    // Shown, it is made again once the window is idle: held-down Undo asks after every step.
    if (m_reloadQueued) return;
    m_reloadQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_reloadQueued = false;
        if (isVisible()) loadIfStale();
    });
}

void LevelBrowser::loadIfStale() {
    if (!m_stale) return;
    m_stale = false;
    m_entries = m_source ? m_source() : std::vector<editor::BrowserEntry>{};
    refill();
}

const std::vector<editor::BrowserEntry>& LevelBrowser::entries() {
    loadIfStale();
    return m_entries;
}

void LevelBrowser::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    loadIfStale();
}

void LevelBrowser::setVisible(bool visible) {
    // (Making it float shows it once while the window is still being built: not a first showing.)
    const bool place = visible && !m_placed && isFloating() && parentWidget() && parentWidget()->isVisible();
    if (visible && isFloating() && parentWidget()) {
        // The main window's native window is made anew when its 3D preview arrives. Floating, the
        // browser must name the current one as its owner: one naming the old window is a window of
        // its own to the window manager, and the main window covered it at the first click.
        create();
        QWindow* owner = parentWidget()->window()->windowHandle();
        if (owner && windowHandle() && windowHandle()->transientParent() != owner) windowHandle()->setTransientParent(owner);
    }
    QDockWidget::setVisible(visible);
    if (!place) return;
    // Shown the first time, from the View menu or Find, it stands by the window's right edge
    // (inside it when the screen ends there) and leaves the map free; later it comes back where
    // the user left it. Placed once shown: only then has it its floating size.
    placeByWindow();
    m_placed = true;
}

void LevelBrowser::placeByWindow() {
    const QRect frame = parentWidget()->frameGeometry();
    const QPoint corner(frame.right() - frameGeometry().width() - 20, frame.top() + 80);
    move(keptOnScreen(parentWidget()->window(), QRect(corner, frameGeometry().size())));
}

void LevelBrowser::focusFilter() {
    show();
    raise();
    // Floating, it is a window of its own: the keys go to it only once it is the active one.
    if (isFloating()) activateWindow();
    m_filter->setFocus();
    m_filter->selectAll();
}

QStringList LevelBrowser::shownLabels() {
    loadIfStale();
    QStringList out;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) out << m_list->topLevelItem(i)->text(kLabel);
    return out;
}

void LevelBrowser::refill() {
    std::optional<editor::EntryKind> kind;
    if (m_kind->currentIndex() > 0) kind = static_cast<editor::EntryKind>(m_kind->currentIndex() - 1);
    auto shown = editor::filterEntries(m_entries, m_filter->text().toStdString(), kind);
    m_more->setVisible(shown.size() > kMaxRows);
    m_more->setText(QStringLiteral("The first %1 of %2 entries; the filter finds the others.").arg(kMaxRows).arg(shown.size()));
    shown.resize(std::min(shown.size(), kMaxRows));
    // The entry the user had chosen stays chosen when the rows are made again (after an edit).
    std::optional<std::pair<int, int>> chosen;
    if (const auto* current = static_cast<const Row*>(m_list->currentItem())) chosen = current->entry();
    m_list->setSortingEnabled(false);
    m_list->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(shown.size()));
    for (std::size_t i : shown) {
        const auto& e = m_entries[i];
        auto* row = new Row(static_cast<int>(e.kind), e.index);
        row->setText(kLabel, qs(editor::entryLabel(e)));
        row->setData(kLabel, Qt::UserRole, QVariant::fromValue<qulonglong>(i));
        row->setText(kName, qs(editor::entryName(e)));
        row->setData(kRoom, Qt::DisplayRole, e.room);
        row->setData(kX, Qt::DisplayRole, qlonglong(e.x));
        row->setData(kY, Qt::DisplayRole, qlonglong(e.y));
        row->setData(kZ, Qt::DisplayRole, qlonglong(e.z));
        rows << row;
    }
    m_list->addTopLevelItems(rows);
    m_list->setSortingEnabled(true);
    for (int c = kLabel; c <= kZ; ++c) m_list->resizeColumnToContents(c);
    if (!chosen) return;
    for (QTreeWidgetItem* row : rows) {
        if (static_cast<const Row*>(row)->entry() != *chosen) continue;
        m_list->setCurrentItem(row);
        m_list->scrollToItem(row);
        break;
    }
}

}  // namespace tessarin::app
