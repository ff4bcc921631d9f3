#pragma once
// The "Rooms" frame (room list, door toggle, room facts) and the "Static Meshes" frame.
#include <QGroupBox>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tessarin::app {

class ClickLabel;

class RoomsPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit RoomsPanel(QWidget* parent = nullptr);
    QComboBox* RoomNumber;
    QPushButton* RoomAdd;
    QPushButton* RoomDelete;
    QPushButton* ViewMode;
    ClickLabel* DrawDoors;
    QLabel* RoomInfo;
    QLabel* AltRoom;
};

class StaticMeshesPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit StaticMeshesPanel(QWidget* parent = nullptr);
    QComboBox* CurMesh;
    QLineEdit* StaticID;
    QLabel* Label5;
    QLabel* NumStatic;
    QPushButton* StaticAdd;
    QPushButton* StaticRemove;
};

}  // namespace tessarin::app
