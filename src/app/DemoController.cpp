#include "DemoController.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <limits>

#include "UserDialogs.h"
#include "platform/BackgroundKeyboard.h"

namespace tessarin::app {

namespace {

// The desktop's millisecond clock and the X11 keyboard.
class DesktopDemoInput : public demo::DemoInput {
public:
    DesktopDemoInput(std::unique_ptr<platform::BackgroundKeyboard> keyboard, UserDialogs& dialogs)
        : m_keyboard(std::move(keyboard)), m_dialogs(dialogs) {
        m_clock.start();
    }
    std::uint32_t tickCount() override {
        // Never 0, which the recorder takes for "no sample yet".
        const qint64 ms = m_clock.elapsed() + 1;
        return static_cast<std::uint32_t>(std::min<qint64>(ms, std::numeric_limits<std::uint32_t>::max()));
    }
    void readKeyState(demo::KeyStateArray& keys) override { m_keyboard->read(keys); }
    void beep() override { m_dialogs.beep(); }

private:
    std::unique_ptr<platform::BackgroundKeyboard> m_keyboard;
    UserDialogs& m_dialogs;
    QElapsedTimer m_clock;
};

}  // namespace

DemoController::DemoController(QMainWindow* window, QMenu* menu, editor::EditorSession& session,
                               viewer::PreviewControls& preview, UserDialogs& dialogs,
                               std::function<void()> changed)
    : QObject(window), m_window(window), m_session(session), m_preview(preview), m_dialogs(dialogs),
      m_changed(std::move(changed)) {
    m_source = [this]() -> std::unique_ptr<demo::DemoInput> {
        auto keyboard = platform::openBackgroundKeyboard();
        if (!keyboard) return nullptr;
        return std::make_unique<DesktopDemoInput>(std::move(keyboard), m_dialogs);
    };
    m_rec = menu->addAction("Start Recording");
    m_rec->setObjectName("Mnu_Demo_Rec");
    m_rec->setToolTip("Record the game keys into the level's demo while Tomb Raider II or III runs");
    m_stop = menu->addAction("Stop Recording");
    m_stop->setObjectName("Mnu_Demo_Stop");
    connect(m_rec, &QAction::triggered, this, [this] { Mnu_Demo_Rec_Click(); });
    connect(m_stop, &QAction::triggered, this, [this] { Mnu_Demo_Stop_Click(); });
    m_state = new QLabel(window);
    m_state->setObjectName("DemoState");
    window->statusBar()->addPermanentWidget(m_state);
    m_state->hide();
    m_timer.setInterval(demo::kDemoStepMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &DemoController::step);
    updateActions();
}

DemoController::~DemoController() = default;

void DemoController::updateActions() {
    m_rec->setEnabled(!m_recording && m_session.LevelLoaded);
    m_stop->setEnabled(m_recording);
    if (!m_recording) m_state->hide();
    // The demo is not closed while recording, so the level can't be written until Stop.
    for (const char* name : {"Mnu_File_Save", "Mnu_File_SaveAs"})
        if (auto* action = m_window->findChild<QAction*>(name)) action->setEnabled(!m_recording);
}

void DemoController::Mnu_Demo_Rec_Click() {
    if (m_recording || !m_session.LevelLoaded) return;
    if (!demo::canHoldDemo(m_session.Level)) {
        m_dialogs.message(m_window, demo::kDemoVersionMessage);
        return;
    }
    auto input = m_source();
    if (!input) {
        m_dialogs.message(m_window, platform::kNoBackgroundKeyboardMessage);
        return;
    }
    m_recording = true;
    m_preview.PreviewOn = false;
    // Each recording begins with the capture off, so that the first TAB switches it on.
    m_input = std::move(input);
    m_recorder = std::make_unique<demo::DemoRecorder>(*m_input);
    m_recorder->StartDemo(m_session.Level);
    m_timer.start();
    updateActions();
    showState();
    m_dialogs.message(m_window, kDemoStartMessage);
}

void DemoController::Mnu_Demo_Stop_Click() {
    if (!m_recording) return;
    m_recording = false;
    m_timer.stop();
    if (m_recorder->StopDemo(m_session.Level)) m_changed();
    updateActions();
    showState();
}

void DemoController::pause() {
    if (m_recording) m_timer.stop();
}

void DemoController::resume() {
    if (m_recording) m_timer.start();
}

void DemoController::step() {
    if (!m_recording) return;
    const demo::DemoStepResult result = m_recorder->DemoStep(m_session.Level);
    // The word count is shown a few times a second, not with every word: each change redraws the
    // window, which with software OpenGL took most of a processor the game needs meanwhile.
    constexpr std::uint32_t kCountEveryMs = 250;
    const bool countDue = result.Appended && m_input->tickCount() - m_countShownAt >= kCountEveryMs;
    if (result.Toggled || result.BecameFull || countDue) showState();
    // After the step: the message's own event loop keeps the timer, and so the recorder, running.
    if (result.BecameFull) m_dialogs.message(m_window, demo::kDemoFullMessage);
}

void DemoController::showState() {
    if (!m_recorder) return;
    const auto words = static_cast<qsizetype>(m_session.Level.DemoData.size());
    QString text;
    if (m_recording && m_recorder->demoFull())  // counted with the end mark Stop adds, as the message counts them
        text = QStringLiteral("Demo full: %1 words, choose Demo, Stop Recording").arg(demo::kMaxDemoWords);
    else if (m_recording)
        text = QStringLiteral("Recording demo, capture %1, %2 words")
                   .arg(m_recorder->DemoCapture ? QStringLiteral("on") : QStringLiteral("off (TAB in the game)"))
                   .arg(words);
    else
        text = QStringLiteral("Demo of %1 words recorded; save the level to keep it").arg(words);
    m_state->setText(text);
    m_state->show();
    if (m_input) m_countShownAt = m_input->tickCount();
}

void DemoController::levelSaved() {
    if (!m_recording) m_state->hide();
}

}  // namespace tessarin::app
