// tessarin2: the arguments are joined with blanks into one command line, as the program expects.
#include <QApplication>
#include <QStringList>

#include <filesystem>

#include "MainWindow.h"
#include "convert/BatchConvert.h"
#include "convert/SWD.h"

int main(int argc, char** argv) {
    // "/convert2 PATH" and "/convert3 PATH" convert without showing a window.
    if (tessarin::convert::batchConvertTarget(tessarin::convert::joinedCommandLine(argc, argv))) {
        std::error_code ec;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        return tessarin::convert::batchConvertMain(argc, argv, tessarin::convert::swdFileBeside(exe.parent_path()));
    }
    QApplication app(argc, argv);
    QStringList parts = QApplication::arguments();
    parts.removeFirst();
    const QString commandLine = parts.join(' ');
    (void)commandLine;  // dispatched once the batch actions exist
    tessarin::app::Tessarin2_Frm window;
    window.show();
    return app.exec();
}
