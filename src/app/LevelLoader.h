#pragma once
// LevelLoader: reads a level for the main window on a worker thread; the level comes back on the
// UI thread. A big file, or a small one whose read runs past a moment, gets a window-modal progress
// dialog (a busy bar and Cancel) that keeps the window painting; a quick read shows no dialog.
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

    // Files from this size on show the dialog at once; smaller ones after kQuietMs of reading.
    static constexpr qint64 kBackgroundFrom = qint64{8} << 20;
    static constexpr int kQuietMs = 300;

    using ReadFunction = std::function<util::Result<level::TRLevel>(const QString& path, std::vector<std::string>* warnings)>;

    // Returns when the level is read, has failed, or the user pressed Cancel (the read then
    // finishes unseen and its result is dropped). Events are handled meanwhile.
    static Loaded load(QWidget* parent, const QString& path);
    // The message for a level that could not be read, naming the file: the reader says where in
    // the file it stopped, and from Recent Files, a drop or the command line the user may not know
    // which file that was. The program's own messages ("Unknown TR version!", "BAD Room!") and
    // those naming the file already stand as they are.
    static QString failureNamingFile(const QString& reason, const QString& path);
    // The same with another way of making the level from the file (a conversion); `read` runs on
    // the worker thread and may outlive the call, so it must own what it uses.
    static Loaded load(QWidget* parent, const QString& path, const ReadFunction& read);

    // For tests: the size threshold above, and the function that reads (LoadLevel by default).
    static void setBackgroundFrom(qint64 bytes);
    static void setReadFunction(ReadFunction read);
};

}  // namespace tessarin::app
