// The handlers of the map, room list and sector panels: each forwards to the editor session and
// then shows what it computed.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <utility>
#include <vector>

#include "ClickLabel.h"
#include "ItemsPanel.h"
#include "MainWindow.h"
#include "QtConvert.h"
#include "RoomPanels.h"
#include "SectorMap.h"
#include "SectorPanels.h"
#include "floordata/FloorDataEdit.h"

namespace tessarin::app {

void Tessarin2_Frm::connectPanels() {
    connect(m_rooms->RoomNumber, &QComboBox::activated, this, &Tessarin2_Frm::RoomNumber_Click);
    connect(m_rooms->DrawDoors, &ClickLabel::clicked, this, &Tessarin2_Frm::DrawDoors_Click);
    connect(m_map, &SectorMap::mapMouseDown, this, &Tessarin2_Frm::SectorMap_MouseDown);
    connect(m_mapScrollX, &QScrollBar::valueChanged, this, [this](int v) {
        m_session.map().setScroll(v, m_session.map().scrollY());
        applyMap();
    });
    connect(m_mapScrollY, &QScrollBar::valueChanged, this, [this](int v) {
        m_session.map().setScroll(m_session.map().scrollX(), v);
        applyMap();
    });
    connect(m_sectors->FD20, &ClickLabel::clicked, this,
            [this] { MinecartButton_Click(static_cast<int>(floordata::MinecartMode::Left)); });
    connect(m_sectors->FD21, &ClickLabel::clicked, this,
            [this] { MinecartButton_Click(static_cast<int>(floordata::MinecartMode::Right)); });
    connect(m_sectors->Minecart_Stop, &ClickLabel::clicked, this,
            [this] { MinecartButton_Click(static_cast<int>(floordata::MinecartMode::Stop)); });
    connect(m_triggers->TriggerData, &QComboBox::activated, this, [this](int i) { m_session.selectTrigger(i); });
    connect(m_triggers->GotoObject, &QPushButton::clicked, this, &Tessarin2_Frm::GotoObject_Click);
    connect(m_items->SecCurItem, &QComboBox::activated, this, &Tessarin2_Frm::SecCurItem_Click);
    connect(m_items->ItemDesc, &QComboBox::activated, this, &Tessarin2_Frm::ItemDesc_Click);
    connect(m_items->AllItems, &QCheckBox::clicked, this, &Tessarin2_Frm::AllItems_Click);
    connect(m_items->ItemNorth, &ClickLabel::clicked, this, [this] { ItemFacing_Click(editor::Facing::North); });
    connect(m_items->ItemEast, &ClickLabel::clicked, this, [this] { ItemFacing_Click(editor::Facing::East); });
    connect(m_items->ItemSouth, &ClickLabel::clicked, this, [this] { ItemFacing_Click(editor::Facing::South); });
    connect(m_items->ItemWest, &ClickLabel::clicked, this, [this] { ItemFacing_Click(editor::Facing::West); });
    connect(m_items->ItemAdd, &QPushButton::clicked, this, &Tessarin2_Frm::ItemAdd_Click);
    connect(m_items->ItemNextTrigger, &QPushButton::clicked, this, &Tessarin2_Frm::ItemNextTrigger_Click);
}

void Tessarin2_Frm::refreshAll() {
    if (m_session.CurRoom != m_shownRoom) {
        m_shownRoom = m_session.CurRoom;
        m_preview.PreviewBuilt = false;
    }
    // The red sector follows the selection at once.
    if (m_session.SelectedX != m_markedX || m_session.SelectedZ != m_markedZ) m_preview.PreviewBuilt = false;
    requestPreviewFrame();
    applyLevelPanels();
    applyMap();
    applySectorInfo();
}

void Tessarin2_Frm::RoomNumber_Click(int index) {
    if (index < 0) return;
    m_session.RoomNumber_Click(index);
    m_preview.PreviewBuilt = false;
    refreshAll();
}

void Tessarin2_Frm::SectorMap_MouseDown(QPoint pixel, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    if (!m_session.LevelLoaded) return;
    const int code = button == Qt::LeftButton ? editor::kLeftButton
                     : button == Qt::RightButton ? editor::kRightButton
                                                 : 4;
    // Shift state as the program numbers it; Ctrl also counts as Alt, which desktops often take.
    int shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= 1;
    if (modifiers & Qt::ControlModifier) shift |= 2 | editor::kAltMask;
    if (modifiers & Qt::AltModifier) shift |= editor::kAltMask;
    const editor::MapClickResult result = m_session.SectorMapClick(pixel.x(), pixel.y(), code, shift);
    if (!result.handled) return;
    if (result.previewCentre) {
        m_preview.PreviewCenterX = result.previewCentre->x;
        m_preview.PreviewCenterZ = result.previewCentre->z;
        requestPreviewFrame();
    }
    refreshAll();
}

void Tessarin2_Frm::DrawDoors_Click() {
    m_rooms->DrawDoors->setBorder(!m_rooms->DrawDoors->hasBorder());
    m_preview.PreviewBuilt = false;
    requestPreviewFrame();
}

void Tessarin2_Frm::MinecartButton_Click(int mode) {
    if (!m_session.LevelLoaded || !sectorChosenOrSay()) return;
    editor::LevelSnapshot snapshot = editor::captureFloorData(m_session.Level, m_session.CurRoom);
    const util::Status status = floordata::AddMinecartEntry(m_session.Level, m_session.CurRoom, m_session.SelectedX,
                                                            m_session.SelectedZ,
                                                            static_cast<floordata::MinecartMode>(mode));
    if (!status) {
        statusBar()->showMessage(qs(status.error()));
        return;
    }
    recordEdit(std::move(snapshot), "Minecart Entry");
    // Shown at once: the new cell colour and the lit buttons, keeping the item list as it is.
    const auto scrollX = m_session.map().scrollX();
    const auto scrollY = m_session.map().scrollY();
    m_session.map().build(m_session.Level, m_session.CurRoom);
    m_session.map().setScroll(scrollX, scrollY);
    m_session.ShowSectorInfo(m_session.SelectedX, m_session.SelectedZ, true, false);
    refreshAll();
}

namespace {

// The object type and facing of the entry the items list shows; a click that leaves them as they
// were has not changed the level.
std::pair<int, int> shownEntryState(const editor::EditorSession& session) {
    const int k = session.info().entrySelected;
    const std::vector<int>& entries = session.shownEntries();
    if (k < 0 || static_cast<std::size_t>(k) >= entries.size()) return {-1, 0};
    const int n = entries[static_cast<std::size_t>(k)];
    const level::TRLevel& level = session.Level;
    if (n < 0) return {-1, 0};
    if (static_cast<std::size_t>(n) < level.Items.size()) {
        const level::TRItem& item = level.Items[static_cast<std::size_t>(n)];
        return {item.ObjectID, item.Angle};
    }
    const std::size_t ai = static_cast<std::size_t>(n) - level.Items.size();
    return ai < level.AIObjects.size() ? std::pair<int, int>{level.AIObjects[ai].ObjectID, 0} : std::pair<int, int>{-1, 0};
}

}  // namespace

void Tessarin2_Frm::SecCurItem_Click(int index) {
    m_session.SecCurItem_Click(index);
    applySectorInfo();
}

void Tessarin2_Frm::ItemDesc_Click(int index) {
    if (m_session.shownEntries().empty()) return;
    const auto before = shownEntryState(m_session);
    editor::LevelSnapshot snapshot = editor::captureItems(m_session.Level);
    m_session.ItemDesc_Click(index);
    if (shownEntryState(m_session) != before) recordEdit(std::move(snapshot), "Retype");
    // The entry's caption names its object ID, so it is shown again with the new type.
    m_session.SecCurItem_Click(m_session.info().entrySelected);
    applySectorInfo();
}

void Tessarin2_Frm::AllItems_Click(bool checked) {
    m_session.AllItems_Click(checked);
    if (m_session.info().entrySelected >= 0) m_session.SecCurItem_Click(m_session.info().entrySelected);
    applyLevelPanels();
    applySectorInfo();
}

void Tessarin2_Frm::ItemFacing_Click(editor::Facing facing) {
    const int entry = m_session.info().entrySelected;
    if (entry < 0) return;
    const auto before = shownEntryState(m_session);
    editor::LevelSnapshot snapshot = editor::captureItems(m_session.Level);
    switch (facing) {
    case editor::Facing::North: m_session.ItemNorth_Click(); break;
    case editor::Facing::East: m_session.ItemEast_Click(); break;
    case editor::Facing::South: m_session.ItemSouth_Click(); break;
    case editor::Facing::West: m_session.ItemWest_Click(); break;
    case editor::Facing::None: return;
    }
    if (shownEntryState(m_session) != before) recordEdit(std::move(snapshot), "Facing");
    m_session.SecCurItem_Click(entry);
    applySectorInfo();
}

bool Tessarin2_Frm::sectorChosenOrSay() {
    if (m_session.sectorChosen()) return true;
    statusBar()->showMessage(kChooseSectorFirst);
    return false;
}

void Tessarin2_Frm::ItemAdd_Click() {
    if (!m_session.LevelLoaded || !sectorChosenOrSay()) return;
    const std::size_t before = m_session.Level.Items.size();
    editor::LevelSnapshot snapshot = editor::captureItems(m_session.Level);
    m_session.ItemAdd_Click();
    if (m_session.Level.Items.size() != before) recordEdit(std::move(snapshot), "Add Item");
    refreshAll();
}

// Before a level is open there is nothing to go to: the click only beeps, and the panels keep
// their start-up look (laid out for no level, they would hide the minecart buttons).
void Tessarin2_Frm::ItemNextTrigger_Click() {
    showFeedback(m_session.ItemNextTrigger_Click());
    if (m_session.LevelLoaded) refreshAll();
}

void Tessarin2_Frm::GotoObject_Click() {
    showFeedback(m_session.GotoObject_Click());
    if (m_session.LevelLoaded) refreshAll();
}

}  // namespace tessarin::app
