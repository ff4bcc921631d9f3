// Copies the editor session's state into the controls of the main window.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "ClickLabel.h"
#include "ItemsPanel.h"
#include "MainWindow.h"
#include "MapPainter.h"
#include "QtConvert.h"
#include "RoomPanels.h"
#include "SectorMap.h"
#include "SectorPanels.h"
#include "UserDialogs.h"
#include "editor/SectorHover.h"

namespace tessarin::app {

namespace {

// Refills a combo box only when its entries differ, so an unchanged list keeps its scroll place.
void setEntries(QComboBox* box, const std::vector<std::string>& entries, int selected) {
    const QSignalBlocker block(box);
    bool same = box->count() == static_cast<int>(entries.size());
    for (int i = 0; same && i < box->count(); ++i) same = box->itemText(i) == qs(entries[static_cast<std::size_t>(i)]);
    if (!same) {
        box->clear();
        for (const std::string& e : entries) box->addItem(qs(e));
    }
    box->setCurrentIndex(selected < box->count() ? selected : -1);
}

void setShown(QWidget* w, bool visible, bool enabled) {
    w->setVisible(visible);
    w->setEnabled(enabled);
}

}  // namespace

void Tessarin2_Frm::applyLevelPanels() {
    const editor::LevelPanels& p = m_session.panels();
    setEntries(m_rooms->RoomNumber, p.roomList, p.roomSelected);
    m_rooms->RoomInfo->setText(qs(p.roomInfo));
    m_rooms->AltRoom->setText(qs(p.altRoom));
    {
        const QSignalBlocker block(m_items->AllItems);
        m_items->AllItems->setEnabled(p.allItemsEnabled);
        m_items->AllItems->setChecked(p.allItemsChecked);
    }
    setEntries(m_items->ItemDesc, p.itemDescList, m_session.info().itemDescIndex);
    m_map->setToolTip(qs(editor::mapLegend(m_session.Level.LevelVersion)));
    m_sectors->FD20->setText(qs(p.fd20Caption));
    m_sectors->FD21->setText(qs(p.fd21Caption));
    setShown(m_sectors->FD20, p.fd20Visible, p.fd20Visible);
    setShown(m_sectors->FD21, p.fd21Visible, p.fd21Visible);
    setShown(m_sectors->Minecart_Stop, p.minecartStopVisible, p.minecartStopVisible);
}

void Tessarin2_Frm::applySectorInfo() {
    const editor::SectorInfo& i = m_session.info();
    m_sectors->setTitle(qs(i.title));
    m_sectors->FloorWall->setChecked(i.floorWall);
    m_sectors->FloorHeight->setEnabled(i.heightsEnabled);
    m_sectors->CeilingHeight->setEnabled(i.heightsEnabled);
    m_sectors->FloorHeight->setText(qs(i.floorHeight));
    m_sectors->CeilingHeight->setText(qs(i.ceilingHeight));
    m_sectors->FD20->setLit(i.minecartLeft);
    m_sectors->FD21->setLit(i.minecartRight);
    m_sectors->Minecart_Stop->setLit(i.minecartStop);

    m_doors->DoorSide->setText(qs(i.doorSide));
    m_doors->DoorAbove->setText(qs(i.doorAbove));
    m_doors->DoorBelow->setText(qs(i.doorBelow));

    m_triggers->FD_lbl->setText(qs(i.fdLabel));
    setEntries(m_triggers->TriggerData, i.triggerList, i.triggerSelected);
    m_triggers->TriggerTimer->setText(qs(i.timer));
    for (std::size_t k = 0; k < 5; ++k) setLabelLit(m_triggers->TriggerFlags[k], i.triggerFlags[k]);
    showTriggerStaleness(i.triggerShown);

    m_items->SecItemCnt->setText(qs(i.itemCount));
    setEntries(m_items->SecCurItem, i.entries, i.entrySelected);
    m_items->ItemID->setText(qs(i.itemID));
    m_items->ItemOCB->setText(qs(i.itemOCB));
    m_items->ItemNumTriggers->setText(qs(i.itemNumTriggers));
    for (std::size_t k = 0; k < 5; ++k) setLabelLit(m_items->ActiveFlags[k], i.activeFlags[k]);
    setLabelLit(m_items->ItemInvisible, i.itemInvisible);
    setLabelLit(m_items->ItemCB, i.itemClearBody);
    m_items->ItemNorth->setLit(i.facing == editor::Facing::North);
    m_items->ItemEast->setLit(i.facing == editor::Facing::East);
    m_items->ItemSouth->setLit(i.facing == editor::Facing::South);
    m_items->ItemWest->setLit(i.facing == editor::Facing::West);
    {
        const QSignalBlocker block(m_items->ItemDesc);
        m_items->ItemDesc->setCurrentIndex(i.itemDescIndex < m_items->ItemDesc->count() ? i.itemDescIndex : -1);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_items->SecCurItem, m_items->ItemDesc, m_items->ItemID, m_items->Label9, m_items->ItemOCB,
             m_items->ItemNorth, m_items->ItemEast, m_items->ItemSouth, m_items->ItemWest})
        w->setVisible(i.itemControlsVisible);

    m_statics->NumStatic->setText(qs(i.staticCount));
    m_statics->StaticID->setText(qs(i.staticName));
    m_statics->StaticID->setVisible(i.staticControlsVisible);
    m_statics->Label5->setVisible(i.staticControlsVisible);
    refreshHoverLine();
}

void Tessarin2_Frm::applyMap() {
    const editor::SectorMap& map = m_session.map();
    m_map->drawMap([&map](QPainter& painter) { paintSectorMap(painter, map); });
    if (const auto outline = m_session.outline(); outline && map.contains(outline->x, outline->z)) {
        const editor::PixelRect r = map.toView(editor::SectorMap::selectionRect(outline->x, outline->z));
        m_map->showSelection(QPoint(r.left, r.top), QPoint(r.right, r.bottom), toQColor(editor::kMapOutline));
    }
    updateMapScrollBars();
}

void Tessarin2_Frm::updateMapScrollBars() {
    const editor::SectorMap& map = m_session.map();
    const QSignalBlocker bx(m_mapScrollX);
    const QSignalBlocker by(m_mapScrollY);
    m_mapScrollX->setVisible(map.scrollable() && map.maxScrollX() > 0);
    m_mapScrollY->setVisible(map.scrollable() && map.maxScrollY() > 0);
    m_mapScrollX->setRange(0, map.maxScrollX());
    m_mapScrollY->setRange(0, map.maxScrollY());
    m_mapScrollX->setPageStep(editor::SectorMap::kViewSize);
    m_mapScrollY->setPageStep(editor::SectorMap::kViewSize);
    m_mapScrollX->setSingleStep(map.cellPixels());
    m_mapScrollY->setSingleStep(map.cellPixels());
    m_mapScrollX->setValue(map.scrollX());
    m_mapScrollY->setValue(map.scrollY());
}

void Tessarin2_Frm::showFeedback(const editor::Feedback& feedback) {
    switch (feedback.kind) {
    case editor::Feedback::Kind::Beep: m_dialogs->beep(); break;
    case editor::Feedback::Kind::Message:
        m_dialogs->message(this, qs(feedback.text), feedback.title.empty() ? kAppTitle : qs(feedback.title));
        break;
    case editor::Feedback::Kind::None: break;
    }
}

}  // namespace tessarin::app
