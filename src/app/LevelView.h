#pragma once
// LevelView: the viewer window ("/view PATH"): the whole level in 3D with a free camera walked by
// the keys, and the texture pages in a strip beside it. Closing it ends the program.
#include <QElapsedTimer>
#include <QWidget>
#include <memory>

#include "level/TRLevel.h"
#include "util/Result.h"
#include "viewer/Camera.h"
#include "viewer/RoomPolys.h"

namespace tessarin::app {

class RenderView;
class TexturesPanel;
class UserDialogs;
struct DeviceInfo;

inline const QString kViewerCaption = QStringLiteral("Tessarin LevelViewer - [");

class LevelView : public QWidget {
    Q_OBJECT
public:
    explicit LevelView(QWidget* parent = nullptr);
    ~LevelView() override;

    // Shows `level` (read from a file named `fileName`): the tiles with the progress caption, the
    // rooms and static meshes, the camera at the player. The window must be shown.
    void showLevel(level::TRLevel level, const QString& fileName);

    RenderView* view() const { return PB; }
    const viewer::Camera& camera() const { return m_camera; }
    int curRoom() const { return CurRoom; }
    double frameRate() const { return m_meter.rate(); }
    bool roomsBuilt() const { return RoomsBuilt; }
    // F12: the picture of the view as "<level>-view-N.png" beside the level, N the first free number.
    // Returns the file written, or an empty string when it could not be written.
    QString saveViewPicture();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildTiles();
    void beforeFrame();
    void drawOverlay(QPainter& painter);

    RenderView* PB;
    TexturesPanel* m_textures;
    level::TRLevel m_level;
    viewer::Camera m_camera;
    viewer::FrameRateMeter m_meter;
    QElapsedTimer m_clock;
    bool RoomsBuilt = false;
    int CurRoom = -1;
    QString m_fileName;
    // What F12 did, shown over the picture for a while.
    static constexpr qint64 kNoticeMs = 3000;
    QString m_notice;
    qint64 m_noticeUntil = 0;
};

// The level the viewer window shows: read, then refused (with the message to show) when it
// describes far more room faces than its file could honestly hold, since the whole level is built at once.
util::Result<level::TRLevel> LoadForViewing(const QString& path);

// "/view PATH", or "/view" alone (the Open dialog chooses): the device set-up's messages, the level,
// then the window until it is closed. Returns the exit code: 1 without a device or a readable level.
int runLevelView(const QString& commandLine, UserDialogs& dialogs, const DeviceInfo& device);

}  // namespace tessarin::app
