#pragma once
// LevelBrowser: a dock listing every item, AI object and static mesh of the level, filterable by
// text and type and sortable; a double-click asks the window to go to the entry. The entries are
// made when the dock is first shown after a change, and at most kMaxRows of them become rows: a
// level may hold millions of items, and each row costs the window hundreds of bytes.
#include <QDockWidget>
#include <functional>
#include <vector>

#include "editor/LevelBrowser.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace tessarin::app {

class LevelBrowser : public QDockWidget {
    Q_OBJECT
public:
    static constexpr std::size_t kMaxRows = 10000;

    explicit LevelBrowser(QWidget* parent = nullptr);
    // The level changed: `source` makes its entries, now when the dock is shown, else when it is.
    void setEntriesSource(std::function<std::vector<editor::BrowserEntry>()> source);
    const std::vector<editor::BrowserEntry>& entries();
    void focusFilter();
    void setVisible(bool visible) override;
    // Rows shown, top to bottom, as the entries' labels.
    QStringList shownLabels();

signals:
    void entryChosen(const editor::BrowserEntry& entry);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void placeByWindow();
    void refill();
    void loadIfStale();

    std::function<std::vector<editor::BrowserEntry>()> m_source;
    bool m_stale = false;
    bool m_reloadQueued = false;
    bool m_placed = false;  // floating, it has been put by the window once
    std::vector<editor::BrowserEntry> m_entries;
    QLabel* m_more;
    QLineEdit* m_filter;
    QComboBox* m_kind;
    QTreeWidget* m_list;
};

}  // namespace tessarin::app
