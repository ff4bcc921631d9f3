#include "ItemsPanel.h"

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
#include "SectorPanels.h"

namespace tessarin::app {

namespace {


ClickLabel* makeFacing(QWidget* parent, const QString& objectName, const QString& caption) {
    auto* label = new ClickLabel(objectName, caption, parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Raised);
    label->setLeastSize(QSize(24, 22));
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return label;
}

}  // namespace

ItemsPanel::ItemsPanel(QWidget* parent) : QGroupBox(parent) {
    makeFrame(this, "Items", "Items");
    SecCurItem = new QComboBox(this);
    SecCurItem->setObjectName("SecCurItem");
    SecCurItem->setMinimumWidth(110);
    ItemDesc = new QComboBox(this);
    ItemDesc->setObjectName("ItemDesc");
    ItemDesc->setMinimumWidth(220);
    ItemDesc->setMaxVisibleItems(25);
    AllItems = new QCheckBox("All", this);
    AllItems->setObjectName("AllItems");
    ItemAdd = makeButton(this, "ItemAdd", "Add");
    ItemRemove = makeButton(this, "ItemRemove", "Remove");
    ItemNextTrigger = makeButton(this, "ItemNextTrigger", "Next Trigger");
    ItemOCB = new QLineEdit(this);
    ItemOCB->setObjectName("ItemOCB");
    ItemOCB->setReadOnly(true);
    ItemOCB->setFixedWidth(70);
    Label9 = makeLabel(this, "Label9", "OCB:");
    ItemID = makeLabel(this, "ItemID", "");
    ItemID->setMinimumWidth(180);
    SecItemCnt = makeLabel(this, "SecItemCnt", "Of 1");
    ItemNumTriggers = makeLabel(this, "ItemNumTriggers", "This object has 0 triggers");
    ItemCB = makeLabel(this, "ItemCB", "Clear Body");
    ItemInvisible = makeLabel(this, "ItemInvisible", "Invisible");
    ItemNorth = makeFacing(this, "ItemNorth", "N");
    ItemEast = makeFacing(this, "ItemEast", "E");
    ItemSouth = makeFacing(this, "ItemSouth", "S");
    ItemWest = makeFacing(this, "ItemWest", "W");

    auto* box = new QVBoxLayout(this);
    auto* row1 = new QHBoxLayout;
    row1->addWidget(SecCurItem);
    row1->addWidget(SecItemCnt);
    row1->addStretch(1);
    row1->addWidget(ItemAdd);
    row1->addWidget(ItemRemove);
    box->addLayout(row1);
    auto* row2 = new QHBoxLayout;
    row2->addWidget(ItemDesc, 1);
    row2->addWidget(AllItems);
    box->addLayout(row2);
    auto* row3 = new QHBoxLayout;
    row3->addWidget(ItemID);
    row3->addStretch(1);
    row3->addWidget(Label9);
    row3->addWidget(ItemOCB);
    box->addLayout(row3);
    auto* row4 = new QHBoxLayout;
    row4->addWidget(new QLabel("Mask:", this));
    for (int k = 0; k < 5; ++k) {
        auto*& label = ActiveFlags[static_cast<std::size_t>(k)];
        label = makeLabel(this, QStringLiteral("ActiveFlags%1").arg(k), QString::number(k + 1));
        setLabelLit(label, false);
        row4->addWidget(label);
    }
    row4->addSpacing(10);
    row4->addWidget(ItemInvisible);
    row4->addWidget(ItemCB);
    row4->addStretch(1);
    box->addLayout(row4);
    auto* row5 = new QHBoxLayout;
    auto* compass = new QGridLayout;
    compass->setSpacing(1);
    compass->addWidget(ItemNorth, 0, 1);
    compass->addWidget(ItemWest, 1, 0);
    compass->addWidget(ItemEast, 1, 2);
    compass->addWidget(ItemSouth, 2, 1);
    row5->addLayout(compass);
    row5->addSpacing(10);
    auto* right = new QVBoxLayout;
    right->addWidget(ItemNumTriggers);
    right->addWidget(ItemNextTrigger, 0, Qt::AlignLeft);
    row5->addLayout(right);
    row5->addStretch(1);
    box->addLayout(row5);
    box->addStretch(1);
    setLabelLit(ItemCB, false);
    setLabelLit(ItemInvisible, false);
    keepPlaceWhenHidden({SecCurItem, ItemDesc, ItemID, Label9, ItemOCB, ItemNorth, ItemEast, ItemSouth, ItemWest});
    // Room for the longest counts, so that a count with one more digit moves nothing.
    SecItemCnt->setMinimumWidth(SecItemCnt->fontMetrics().horizontalAdvance("Of 88888"));
    ItemNumTriggers->setMinimumWidth(ItemNumTriggers->fontMetrics().horizontalAdvance("This object has 88888 triggers"));
}

}  // namespace tessarin::app
