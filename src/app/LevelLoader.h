#pragma once
// LevelLoader: reads a level for the main window. A big file is read on a worker thread while a
// window-modal progress dialog (a busy bar and Cancel) keeps the window painting; the level comes
// back on the UI thread. A small file is read at once, with no dialog.
#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "level/TRLevel.h"
#include "util/Result.h"

namespace tessarin::app {

class LevelLoader {
public:
    enum class Outcome { Loaded, Failed, Cancelled };
    struct Loaded {
        Outcome outcome = Outcome::Failed;
        level::TRLevel level;
        std::string error;
        std::vector<std::string> warnings;
    };

    // Files from this size on are read on the worker thread with the dialog.
    static constexpr qint64 kBackgroundFrom = qint64{8} << 20;

    // Returns when the level is read, has failed, or the user pressed Cancel (the read then
    // finishes unseen and its result is dropped). Events are handled meanwhile.
    static Loaded load(QWidget* parent, const QString& path);

    // For tests: the threshold above, and the function that reads (LoadLevel by default).
    using ReadFunction = std::function<util::Result<level::TRLevel>(const QString& path, std::vector<std::string>* warnings)>;
    static void setBackgroundFrom(qint64 bytes);
    static void setReadFunction(ReadFunction read);
};

}  // namespace tessarin::app
