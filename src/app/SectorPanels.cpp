#include "SectorPanels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ClickLabel.h"
#include "PanelWidgets.h"

namespace tessarin::app {

SectorsPanel::SectorsPanel(QWidget* parent) : QGroupBox(parent) {
    makeFrame(this, "SecInf", "Sectors");
    Label3 = makeLabel(this, "Label3", "Ceiling Height");
    Label1 = makeLabel(this, "Label1", "Floor Height");
    CeilingHeight = makeTextBox(this, "CeilingHeight", 60);
    FloorHeight = makeTextBox(this, "FloorHeight", 60);
    FloorWall = new QCheckBox("Wall", this);
    FloorWall->setObjectName("FloorWall");
    FD20 = makeButtonLabel(this, "FD20", "Minecart Left");
    FD21 = makeButtonLabel(this, "FD21", "Minecart Right");
    Minecart_Stop = makeButtonLabel(this, "Minecart_Stop", "Minecart Stop");

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label3, 0, 0);
    grid->addWidget(CeilingHeight, 0, 1);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(FloorHeight, 1, 1);
    grid->addWidget(FloorWall, 2, 0, 1, 2);
    auto* carts = new QVBoxLayout;
    carts->setSpacing(2);
    for (ClickLabel* label : {FD20, FD21, Minecart_Stop}) {
        label->setFrameStyle(QFrame::Panel | QFrame::Raised);
        carts->addWidget(label);
    }
    carts->addStretch(1);
    grid->addLayout(carts, 0, 2, 3, 1);
    grid->setColumnStretch(3, 1);
    // Hidden for the versions without these entries, they keep their place: the panels beside them
    // stand where they stood for the last level.
    keepPlaceWhenHidden({FD20, FD21, Minecart_Stop});
}

DoorsPanel::DoorsPanel(QWidget* parent) : QGroupBox(parent) {
    makeFrame(this, "Doors", "Doors");
    Label6 = makeLabel(this, "Label6", "Side");
    Label7 = makeLabel(this, "Label7", "Above");
    Label8 = makeLabel(this, "Label8", "Below");
    DoorSide = makeLabel(this, "DoorSide", "None");
    DoorAbove = makeLabel(this, "DoorAbove", "None");
    DoorBelow = makeLabel(this, "DoorBelow", "None");
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label6, 0, 0);
    grid->addWidget(DoorSide, 0, 1);
    grid->addWidget(Label7, 1, 0);
    grid->addWidget(DoorAbove, 1, 1);
    grid->addWidget(Label8, 2, 0);
    grid->addWidget(DoorBelow, 2, 1);
    grid->setColumnMinimumWidth(1, 40);
    grid->setRowStretch(3, 1);
}

TriggersPanel::TriggersPanel(QWidget* parent) : QGroupBox(parent) {
    makeFrame(this, "Triggers", "Triggers");
    TriggerData = new QComboBox(this);
    TriggerData->setObjectName("TriggerData");
    TriggerData->setMinimumWidth(260);
    TriggerData->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    GotoObject = new QPushButton("Find Object", this);
    GotoObject->setObjectName("GotoObject");
    TriggerTimer = makeLabel(this, "TriggerTimer", "Timer: 0");
    FD_lbl = makeLabel(this, "FD_lbl", "FD:0");

    auto* box = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(FD_lbl);
    top->addStretch(1);
    top->addWidget(GotoObject);
    box->addLayout(top);
    box->addWidget(TriggerData);
    auto* flags = new QHBoxLayout;
    flags->addWidget(TriggerTimer);
    flags->addSpacing(12);
    flags->addWidget(new QLabel("Mask:", this));
    for (int k = 0; k < 5; ++k) {
        TriggerFlags[static_cast<std::size_t>(k)] =
            makeLabel(this, QStringLiteral("TriggerFlags%1").arg(k), QString::number(k + 1));
        setLabelLit(TriggerFlags[static_cast<std::size_t>(k)], false);
        flags->addWidget(TriggerFlags[static_cast<std::size_t>(k)]);
    }
    flags->addStretch(1);
    box->addLayout(flags);
    box->addStretch(1);
}

}  // namespace tessarin::app
