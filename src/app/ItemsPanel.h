#pragma once
// The "Items" frame: the selected sector's entries, object type, OCB, flags, facing and buttons.
#include <QGroupBox>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tessarin::app {

class ClickLabel;

class ItemsPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit ItemsPanel(QWidget* parent = nullptr);
    QComboBox* SecCurItem;
    QComboBox* ItemDesc;
    QCheckBox* AllItems;
    QPushButton* ItemAdd;
    QPushButton* ItemRemove;
    QPushButton* ItemNextTrigger;
    QLineEdit* ItemOCB;
    QLabel* Label9;
    QLabel* ItemID;
    QLabel* SecItemCnt;
    QLabel* ItemNumTriggers;
    QLabel* ItemCB;
    QLabel* ItemInvisible;
    std::array<QLabel*, 5> ActiveFlags{};
    ClickLabel* ItemNorth;
    ClickLabel* ItemEast;
    ClickLabel* ItemSouth;
    ClickLabel* ItemWest;
};

}  // namespace tessarin::app
