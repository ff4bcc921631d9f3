#include "LevelLoader.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QThread>

#include <memory>
#include <mutex>

#include "QtConvert.h"
#include "level/LevelReader.h"

namespace tessarin::app {

namespace {

qint64 g_backgroundFrom = LevelLoader::kBackgroundFrom;

LevelLoader::ReadFunction& readFunction() {
    static LevelLoader::ReadFunction read;
    return read;
}

util::Result<level::TRLevel> readLevel(const LevelLoader::ReadFunction& read, const QString& path,
                                       std::vector<std::string>* warnings) {
    if (read) return read(path, warnings);
    return level::LoadLevel(toPath(path), warnings);
}

LevelLoader::Loaded toLoaded(util::Result<level::TRLevel>&& result, std::vector<std::string>&& warnings) {
    LevelLoader::Loaded out;
    if (result) {
        out.outcome = LevelLoader::Outcome::Loaded;
        out.level = std::move(result.value());
    } else {
        out.error = result.error();
    }
    out.warnings = std::move(warnings);
    return out;
}

// What the worker fills; shared so that a cancelled read can finish after the caller has gone.
struct Job {
    std::mutex mutex;
    std::unique_ptr<util::Result<level::TRLevel>> result;
    std::vector<std::string> warnings;
};

}  // namespace

void LevelLoader::setBackgroundFrom(qint64 bytes) { g_backgroundFrom = bytes; }
void LevelLoader::setReadFunction(ReadFunction read) { readFunction() = std::move(read); }

LevelLoader::Loaded LevelLoader::load(QWidget* parent, const QString& path) { return load(parent, path, readFunction()); }

LevelLoader::Loaded LevelLoader::load(QWidget* parent, const QString& path, const ReadFunction& read) {
    auto job = std::make_shared<Job>();
    QThread* worker = QThread::create([job, read, path] {
        std::vector<std::string> warnings;
        auto result = std::make_unique<util::Result<level::TRLevel>>(readLevel(read, path, &warnings));
        const std::lock_guard lock(job->mutex);
        job->result = std::move(result);
        job->warnings = std::move(warnings);
    });
    // The thread object goes when its thread ends, whether or not anyone still waits for it.
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    // The end of the thread reaches this loop as a queued call, so it cannot be missed even when
    // the read ends before the loop starts.
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();

    // A small file is read before anyone could notice, so it is waited for a moment without a
    // dialog; the dialog comes only if the read runs on, as a compressed level that inflates to
    // far more than its size may. A big file shows it at once.
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(toPath(path), ec);
    const qint64 size = ec ? 0 : static_cast<qint64>(bytes);
    const bool quick = size < g_backgroundFrom && worker->wait(QDeadlineTimer(kQuietMs));
    if (!quick) {
        QProgressDialog dialog(QStringLiteral("Opening %1...").arg(QFileInfo(path).fileName()), QStringLiteral("Cancel"), 0,
                               0, parent);
        dialog.setObjectName("OpenProgress");
        dialog.setWindowTitle(QStringLiteral("Opening level"));
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setMinimumDuration(0);
        dialog.setAutoReset(false);
        dialog.setAutoClose(false);
        QObject::connect(&dialog, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
        dialog.show();
        loop.exec();
    }

    // A read that ended just as Cancel was pressed is still shown.
    const std::lock_guard lock(job->mutex);
    if (!job->result) {
        Loaded out;
        out.outcome = Outcome::Cancelled;
        return out;
    }
    return toLoaded(std::move(*job->result), std::move(job->warnings));
}

QString LevelLoader::failureNamingFile(const QString& reason, const QString& path) {
    for (const char* own : {level::kUnknownVersionMessage, level::kTexturesOnlyMessage, "BAD Room!"})
        if (reason.startsWith(QLatin1String(own))) return reason;
    if (reason.contains(path)) return reason;
    return QFileInfo(path).fileName() + ": " + reason;
}

}  // namespace tessarin::app
