#pragma once
// Tessarin2_Frm: the editor's main window.
#include <QMainWindow>

namespace tessarin::app {

class Tessarin2_Frm : public QMainWindow {
    Q_OBJECT
public:
    explicit Tessarin2_Frm(QWidget* parent = nullptr);
};

}  // namespace tessarin::app
