// The file commands of the main window: open, save, save as.
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QStatusBar>
#include <new>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "DemoController.h"
#include "HelpWindows.h"
#include "LevelLoader.h"
#include "MainWindow.h"
#include "QtConvert.h"
#include "TexturesPanel.h"
#include "UserDialogs.h"
#include "convert/BatchConvert.h"
#include "convert/SWD.h"
#include "convert/TR4Converter.h"
#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "util/FileIO.h"
#include "viewer/TexturePages.h"

namespace tessarin::app {

void Tessarin2_Frm::Mnu_File_Open_Click() {
    const DemoController::Pause paused(*m_demo);
    const QString path = m_dialogs->openFileName(this, kOpenFilter);
    if (path.isEmpty()) return;
    if (!confirmDiscard()) return;
    openLevel(path);
}

bool Tessarin2_Frm::openLevel(const QString& path, const QString& title) {
    // A big level is read off the UI thread; Cancel, like a failure, keeps the level that was open.
    auto loaded = LevelLoader::load(this, path);
    if (loaded.outcome == LevelLoader::Outcome::Cancelled) return false;
    if (loaded.outcome == LevelLoader::Outcome::Failed) {
        m_dialogs->message(this, LevelLoader::failureNamingFile(qs(loaded.error), path));
        return false;
    }
    if (!showLevel(std::move(loaded.level), path, title)) return false;
    m_levelId = m_nextLevelId++;
    m_fileHolds.insert(path, m_levelId);
    rememberRecent(path);
    if (!loaded.warnings.empty())
        statusBar()->showMessage(statusBar()->currentMessage() + " - " + qs(loaded.warnings.front()));
    return true;
}

bool Tessarin2_Frm::showLevel(level::TRLevel opened, const QString& path, const QString& title) {
    // Everything that may fail for want of memory or a too big level comes before the session
    // takes the new level, so that the level that was open stays open.
    viewer::RgbaImage pages;
    try {
        pages = viewer::BuildTexturePages(opened);
    } catch (const std::bad_alloc&) {
        m_dialogs->message(this, "Not enough memory to show the level's texture pages; the level was not opened.");
        return false;
    }
    if (const util::Status opening = m_session.OpenLevel(std::move(opened)); !opening) {
        m_dialogs->message(this, qs(opening.error()));
        return false;
    }
    m_shownRoom = m_session.CurRoom;
    m_textures->setPages(toQImage(pages));
    showCaption(title.isEmpty() ? QFileInfo(path).fileName() : title);
    FileName = path;
    FileChanged = false;
    m_history.reset();
#ifdef __GLIBC__
    // The level replaced and its undo steps are gone; the allocator kept their pages for itself,
    // and after a few opens of a large level the program held twice what it shows.
    malloc_trim(0);
#endif
    updateUndoActions();
    updateUnsavedMark();
    m_mineCartHelp->showCartEntries(m_session.Level.LevelVersion == level::kVersionTR3);
    previewLevelOpened(pages);
    applyLevelPanels();
    applyMap();
    applySectorInfo();
    m_demo->updateActions();
    statusBar()->showMessage(QStringLiteral("TR%1 level, %2 rooms, %3 items")
                                 .arg(m_session.Level.LevelVersion)
                                 .arg(m_session.Level.Rooms.size())
                                 .arg(m_session.Level.Items.size()));
    return true;
}

bool Tessarin2_Frm::Mnu_Edit_TR4_Click() {
    const DemoController::Pause paused(*m_demo);
    const QString path = m_dialogs->openFileName(this, kOpenFilter);
    if (path.isEmpty()) return false;
    if (!confirmDiscard()) return false;
    const std::int16_t target =
        m_session.Level.LevelVersion == level::kVersionTR2 ? level::kVersionTR2 : level::kVersionTR3;
    const auto swd = convert::swdFileBeside(util::programFolder());
    // Converted off the UI thread like any open: the level data of a small file may inflate long.
    auto converted = LevelLoader::load(this, path, [target, swd](const QString& tr4, std::vector<std::string>*) {
        return convert::ConvertTR4(toPath(tr4), target, swd);
    });
    if (converted.outcome == LevelLoader::Outcome::Cancelled) return false;
    if (converted.outcome == LevelLoader::Outcome::Failed) {
        m_dialogs->message(this, qs(converted.error));
        return false;
    }
    // Shown at once, and named like a batch conversion's output so that Save never writes over
    // the level that was open before.
    const QString output = pathText(convert::convertedPath(toPath(path).string()));
    // The level shown before can be brought back with Undo.
    editor::LevelSnapshot before = editor::captureWhole(m_session.Level, {toPath(FileName).string(), m_levelId});
    editor::UndoHistory history = std::move(m_history);
    const bool shown = showLevel(std::move(converted.level), output);
    m_history = std::move(history);
    if (!shown) return false;
    m_levelId = m_nextLevelId++;  // named after the TR4 file, but read from no level file
    if (before.Level->LevelVersion != level::kVersionNone) recordEdit(std::move(before), "Import TR4");
    // With no level before it, no undo step leads back to a saved state: the import was never saved.
    else m_history.changedOutside();
    FileChanged = true;
    updateUnsavedMark();
    return true;
}

bool Tessarin2_Frm::Mnu_File_Save_Click() {
    if (const QString refusal = qs(level::SaveRefusal(m_session.Level)); !refusal.isEmpty()) {
        m_dialogs->message(this, refusal);
        return false;
    }
    std::error_code ec;
    if (m_fileHolds.value(FileName) != m_levelId && std::filesystem::exists(toPath(FileName), ec)) {
        const QString question =
            QFileInfo(FileName).fileName() + " already exists. Replace it? (No saves the level under another name.)";
        switch (m_dialogs->askYesNoCancel(this, question)) {
        case QMessageBox::Yes: break;
        case QMessageBox::No: return Mnu_File_SaveAs_Click();
        default: return false;
        }
    }
    return saveLevelTo(FileName);
}

bool Tessarin2_Frm::Mnu_File_SaveAs_Click() {
    if (const QString refusal = qs(level::SaveRefusal(m_session.Level)); !refusal.isEmpty()) {
        m_dialogs->message(this, refusal);
        return false;
    }
    const QString path = m_dialogs->saveFileName(this, kSaveFilter);
    if (path.isEmpty()) return false;
    // The level belongs to the new file only once it is there: after a failed save, Save still
    // writes to the file the level came from.
    if (!saveLevelTo(path)) return false;
    FileName = path;
    showCaption(QFileInfo(path).fileName());
    rememberRecent(path);
    return true;
}

void Tessarin2_Frm::showCaption(const QString& name) { setWindowTitle(kCaption + " [" + name + "]"); }

bool Tessarin2_Frm::saveLevelTo(const QString& path) {
    const util::Status status = level::SaveLevel(toPath(path), m_session.Level);
    if (!status) {
        m_dialogs->message(this, qs(status.error()));
        return false;
    }
    m_fileHolds.insert(path, m_levelId);
    m_demo->levelSaved();
    FileChanged = false;
    m_history.markSaved();
    updateUnsavedMark();
    m_dialogs->message(this, "Project saved");
    statusBar()->showMessage("Saved " + path);
    return true;
}

}  // namespace tessarin::app
