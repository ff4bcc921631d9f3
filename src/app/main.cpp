// tessarin2: the arguments are joined with blanks into one command line, as the program expects.
#include <QApplication>
#include <QStringList>

#include "MainWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList parts = QApplication::arguments();
    parts.removeFirst();
    const QString commandLine = parts.join(' ');
    (void)commandLine;  // dispatched once the batch actions exist
    tessarin::app::Tessarin2_Frm window;
    window.show();
    return app.exec();
}
