#pragma once
// LevelBrowser: a dock listing every item, AI object and static mesh of the level, filterable by
// text and type and sortable; a double-click asks the window to go to the entry.
#include <QDockWidget>
#include <vector>

#include "editor/LevelBrowser.h"

class QComboBox;
class QLineEdit;
class QTreeWidget;

namespace tessarin::app {

class LevelBrowser : public QDockWidget {
    Q_OBJECT
public:
    explicit LevelBrowser(QWidget* parent = nullptr);
    void setEntries(std::vector<editor::BrowserEntry> entries);
    const std::vector<editor::BrowserEntry>& entries() const { return m_entries; }
    void focusFilter();
    // Rows shown, top to bottom, as the entries' labels.
    QStringList shownLabels() const;

signals:
    void entryChosen(const editor::BrowserEntry& entry);

private:
    void refill();

    std::vector<editor::BrowserEntry> m_entries;
    QLineEdit* m_filter;
    QComboBox* m_kind;
    QTreeWidget* m_list;
};

}  // namespace tessarin::app
