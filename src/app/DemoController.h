#pragma once
// DemoController: the Demo menu. Starts and stops recording, steps the recorder on a timer while
// the game runs in another window, and shows the recorder's state in the status bar.
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

#include "demo/DemoRecorder.h"
#include "editor/EditorSession.h"
#include "viewer/PreviewControls.h"

class QAction;
class QLabel;
class QMainWindow;
class QMenu;

namespace tessarin::app {

class UserDialogs;

inline const QString kDemoStartMessage =
    QStringLiteral("Please start Tomb Raider II, load the current level and press TAB to start recording'");

class DemoController : public QObject {
    Q_OBJECT
public:
    // The clock and keyboard a recording reads; null when the keys can't be read here.
    using InputSource = std::function<std::unique_ptr<demo::DemoInput>()>;

    // Adds "Start Recording" and "Stop Recording" to `menu`. `changed` marks the level unsaved.
    DemoController(QMainWindow* window, QMenu* menu, editor::EditorSession& session,
                   viewer::PreviewControls& preview, UserDialogs& dialogs, std::function<void()> changed);
    ~DemoController() override;

    // Tests replace the desktop's clock and X11 keyboard.
    void setInputSource(InputSource source) { m_source = std::move(source); }

    void Mnu_Demo_Rec_Click();
    void Mnu_Demo_Stop_Click();
    // One recorder step; the timer calls it every demo::kDemoStepMs while recording.
    void step();
    // While a question is up, the recorder takes no words: the keys that answer it are no part of
    // the game. No-ops when not recording.
    void pause();
    void resume();
    // The same for as long as a Pause lives, resumed after only if the recorder was stepping: a
    // file chooser's or input box's keys (arrows through a folder) would otherwise land in the demo.
    class Pause {
    public:
        explicit Pause(DemoController& demo) : m_demo(demo.stepping() ? &demo : nullptr) { demo.pause(); }
        ~Pause() {
            if (m_demo) m_demo->resume();
        }
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        DemoController* m_demo;
    };
    // Enables the entries that make sense for the open level and the recording state.
    void updateActions();
    // The level was saved: the note that its demo is still to be saved goes.
    void levelSaved();

    bool Recording() const { return m_recording; }
    // Whether the recorder is stepping now: recording, and not paused.
    bool stepping() const { return m_recording && m_timer.isActive(); }
    const demo::DemoRecorder* recorder() const { return m_recorder.get(); }

private:
    void showState();

    QMainWindow* m_window;
    editor::EditorSession& m_session;
    viewer::PreviewControls& m_preview;
    UserDialogs& m_dialogs;
    std::function<void()> m_changed;
    InputSource m_source;
    QAction* m_rec = nullptr;
    QAction* m_stop = nullptr;
    QLabel* m_state = nullptr;
    QTimer m_timer;
    bool m_recording = false;
    std::uint32_t m_countShownAt = 0;  // the recorder's clock when the word count was last shown
    std::unique_ptr<demo::DemoInput> m_input;
    std::unique_ptr<demo::DemoRecorder> m_recorder;
};

}  // namespace tessarin::app
