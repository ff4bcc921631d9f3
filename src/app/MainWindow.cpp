#include "MainWindow.h"

namespace tessarin::app {

Tessarin2_Frm::Tessarin2_Frm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Tessarin2_Frm");
    setWindowTitle("Tessarin 2.9");
    resize(1000, 700);
}

}  // namespace tessarin::app
