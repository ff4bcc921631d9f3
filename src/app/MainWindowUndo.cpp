// Undo and redo of the window's edits. The steps live in the core's UndoHistory; the window keeps
// the unsaved state and the caption in step with them.
#include <QAction>
#include <QMenu>
#include <QStatusBar>

#include "DemoController.h"
#include "MainWindow.h"
#include "QtConvert.h"

namespace tessarin::app {

void Tessarin2_Frm::addUndoActions(QMenu* edit) {
    edit->addSeparator();
    m_undoAction = edit->addAction("&Undo");
    m_undoAction->setObjectName("Mnu_Edit_Undo");
    m_undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(m_undoAction, &QAction::triggered, this, [this] { Mnu_Edit_Undo_Click(); });
    m_redoAction = edit->addAction("&Redo");
    m_redoAction->setObjectName("Mnu_Edit_Redo");
    m_redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(m_redoAction, &QAction::triggered, this, [this] { Mnu_Edit_Redo_Click(); });
    updateUndoActions();
}

void Tessarin2_Frm::updateUndoActions() {
    // The browser's rows change exactly when the history does: an edit, an undo, a new level.
    refreshBrowser();
    if (!m_undoAction) return;
    m_undoAction->setEnabled(m_history.canUndo());
    m_undoAction->setText(m_history.canUndo() ? "&Undo " + qs(m_history.undoName()) : QStringLiteral("&Undo"));
    m_redoAction->setEnabled(m_history.canRedo());
    m_redoAction->setText(m_history.canRedo() ? "&Redo " + qs(m_history.redoName()) : QStringLiteral("&Redo"));
}

void Tessarin2_Frm::recordEdit(editor::LevelSnapshot before, const char* what) {
    m_history.push(std::move(before), what);
    FileChanged = true;
    updateUndoActions();
    updateUnsavedMark();
}

void Tessarin2_Frm::Mnu_Edit_Undo_Click() {
    // A demo belongs to the level it was recorded in: it is closed there before that level goes.
    if (m_history.undoReplacesLevel()) m_demo->Mnu_Demo_Stop_Click();
    const auto restored = m_history.undo(m_session.Level, {toPath(FileName).string(), m_levelId});
    if (!restored) return;
    showRestored(*restored, "Undone: ");
}

void Tessarin2_Frm::Mnu_Edit_Redo_Click() {
    if (m_history.redoReplacesLevel()) m_demo->Mnu_Demo_Stop_Click();
    const auto restored = m_history.redo(m_session.Level, {toPath(FileName).string(), m_levelId});
    if (!restored) return;
    showRestored(*restored, "Redone: ");
}

void Tessarin2_Frm::showRestored(const editor::UndoHistory::Restored& restored, const QString& verb) {
    if (restored.whole) {
        // A replaced level is shown as if opened again, under its own file name; the history stays.
        editor::UndoHistory history = std::move(m_history);
        const bool shown = showLevel(level::TRLevel(m_session.Level), pathText(restored.file.name));
        m_history = std::move(history);
        if (!shown) {
            // The window still shows the level it had: take the step back so the two agree.
            if (verb.startsWith("Undone")) m_history.redo(m_session.Level, restored.file);
            else m_history.undo(m_session.Level, restored.file);
            updateUndoActions();
            return;
        }
        // Its file holds it still unless another level was saved over it meanwhile (Save asks then).
        m_levelId = restored.file.levelId;
    } else {
        m_session.editsRestored(restored.floorData);
        refreshAll();
    }
    FileChanged = !m_history.atSavedPoint();
    updateUndoActions();
    updateUnsavedMark();
    statusBar()->showMessage(verb + qs(restored.what));
}

}  // namespace tessarin::app
