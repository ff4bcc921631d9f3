#include "RoomPanels.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ClickLabel.h"
#include "PanelWidgets.h"
#include "SectorPanels.h"

namespace tessarin::app {

RoomsPanel::RoomsPanel(QWidget* parent) : QGroupBox(parent) {
    makeFrame(this, "Rooms", "Rooms");
    RoomNumber = new QComboBox(this);
    RoomNumber->setObjectName("RoomNumber");
    RoomNumber->setMinimumWidth(120);
    RoomNumber->setMaxVisibleItems(20);
    RoomAdd = makeButton(this, "RoomAdd", "Add");
    RoomDelete = makeButton(this, "RoomDelete", "Remove");
    ViewMode = makeButton(this, "ViewMode", "2D Map");
    DrawDoors = new ClickLabel("DrawDoors", "DrawDoors", this);
    DrawDoors->setBorder(false);
    DrawDoors->setToolTip("Also show the rooms seen through this room's doors in the preview");
    RoomInfo = makeLabel(this, "RoomInfo", "Room 0");
    AltRoom = makeLabel(this, "AltRoom", "No alternate");

    auto* grid = new QGridLayout(this);
    grid->addWidget(RoomNumber, 0, 0, 1, 2);
    grid->addWidget(DrawDoors, 0, 2);
    grid->addWidget(RoomInfo, 1, 0, 1, 2);
    grid->addWidget(AltRoom, 2, 0, 1, 2);
    grid->addWidget(RoomAdd, 1, 2);
    grid->addWidget(RoomDelete, 2, 2);
    grid->addWidget(ViewMode, 3, 2);
    grid->setColumnStretch(1, 1);
}

StaticMeshesPanel::StaticMeshesPanel(QWidget* parent) : QGroupBox(parent) {
    makeFrame(this, "StaticMeshes", "Static Meshes");
    CurMesh = new QComboBox(this);
    CurMesh->setObjectName("CurMesh");
    CurMesh->setMinimumWidth(120);
    StaticID = new QLineEdit(this);
    StaticID->setObjectName("StaticID");
    StaticID->setReadOnly(true);
    Label5 = makeLabel(this, "Label5", "Static Mesh ID:");
    NumStatic = makeLabel(this, "NumStatic", "0 Static Meshes");
    StaticAdd = makeButton(this, "StaticAdd", "Add");
    StaticRemove = makeButton(this, "StaticRemove", "Remove");

    auto* box = new QVBoxLayout(this);
    box->addWidget(NumStatic);
    box->addWidget(CurMesh);
    box->addWidget(Label5);
    box->addWidget(StaticID);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(StaticAdd);
    buttons->addWidget(StaticRemove);
    box->addLayout(buttons);
    box->addStretch(1);
    keepPlaceWhenHidden({StaticID, Label5});
}

}  // namespace tessarin::app
