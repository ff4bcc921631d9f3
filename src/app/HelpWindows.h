#pragma once
// The two small information windows: About_Frm and MineCartHelp_Frm.
#include <QDialog>
#include <array>

class QLabel;

namespace tessarin::app {

class About_Frm : public QDialog {
    Q_OBJECT
public:
    explicit About_Frm(QWidget* parent = nullptr);
};

class MineCartHelp_Frm : public QDialog {
    Q_OBJECT
public:
    explicit MineCartHelp_Frm(QWidget* parent = nullptr);
    // Entries 3, 4 and 5 describe the TR3 minecart buttons; shown only for TR3 levels.
    void showCartEntries(bool visible);
    std::array<QLabel*, 6> MineReadme{};
};

}  // namespace tessarin::app
