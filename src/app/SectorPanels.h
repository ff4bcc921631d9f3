#pragma once
// The sector description frames: "Sectors" (heights, wall, minecart buttons), "Doors" and "Triggers".
#include <QGroupBox>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tessarin::app {

class ClickLabel;

class SectorsPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit SectorsPanel(QWidget* parent = nullptr);
    QLineEdit* CeilingHeight;
    QLineEdit* FloorHeight;
    QLabel* Label3;
    QLabel* Label1;
    QCheckBox* FloorWall;
    ClickLabel* FD20;
    ClickLabel* FD21;
    ClickLabel* Minecart_Stop;
};

class DoorsPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit DoorsPanel(QWidget* parent = nullptr);
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* DoorSide;
    QLabel* DoorAbove;
    QLabel* DoorBelow;
};

class TriggersPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit TriggersPanel(QWidget* parent = nullptr);
    QPushButton* GotoObject;
    QComboBox* TriggerData;
    QLabel* TriggerTimer;
    std::array<QLabel*, 5> TriggerFlags{};
    QLabel* FD_lbl;
};

}  // namespace tessarin::app
