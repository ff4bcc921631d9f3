#pragma once
// Helpers for the GUI tests: scripted dialogs, a window with a level open, control lookup.
#include <QComboBox>
#include <QLabel>
#include <QStringList>
#include <QTest>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MainWindow.h"
#include "UserDialogs.h"
#include "demo/DemoRecorder.h"
#include "demo/DemoScript.h"

namespace tessarin::test {

// Answers file choosers and questions from queues and records every message shown.
class ScriptedDialogs : public app::UserDialogs {
public:
    struct Log {
        std::deque<QString> openNames, saveNames;
        std::deque<QMessageBox::StandardButton> answers;
        QStringList messages, titles, openFilters, saveFilters, questions;
        int beeps = 0;
        std::function<void()> whileChoosing;  // runs while a file chooser is up
    };
    explicit ScriptedDialogs(std::shared_ptr<Log> log) : m_log(std::move(log)) {}
    QString openFileName(QWidget*, const QString& filter) override;
    QString saveFileName(QWidget*, const QString& filter, const QString&, const QString&) override;
    void message(QWidget*, const QString& text, const QString& title) override;
    QMessageBox::StandardButton askYesNoCancel(QWidget*, const QString& text) override;
    void beep() override { ++m_log->beeps; }

private:
    std::shared_ptr<Log> m_log;
};

// Forwards to a script the test keeps, since the controller owns the input it is given.
class FakeInput : public demo::DemoInput {
public:
    explicit FakeInput(std::shared_ptr<demo::ScriptedDemoInput> script) : m_script(std::move(script)) {}
    std::uint32_t tickCount() override { return m_script->tickCount(); }
    void readKeyState(demo::KeyStateArray& keys) override { m_script->readKeyState(keys); }
    void beep() override { m_script->beep(); }

private:
    std::shared_ptr<demo::ScriptedDemoInput> m_script;
};

// A shown main window whose dialogs are scripted.
struct WindowFixture {
    std::shared_ptr<ScriptedDialogs::Log> log = std::make_shared<ScriptedDialogs::Log>();
    std::unique_ptr<app::Tessarin2_Frm> window;
    explicit WindowFixture(app::Tessarin2_Frm::Preview3D preview3D = app::Tessarin2_Frm::Preview3D::Off);
    ~WindowFixture();
    // Opens through File, Open with the scripted dialog; false when the level is absent.
    bool open(const std::filesystem::path& path);

    template <typename T>
    T* find(const QString& name) const {
        T* w = window->findChild<T*>(name);
        if (!w) qWarning("control %s not found", qPrintable(name));
        return w;
    }
    QString text(const QString& labelName) const;
    bool lit(const QString& labelName) const;
    QStringList entries(const QString& comboName) const;
    // Presses a mouse button on sector (x, z) of the map (no scrolling needed for small rooms).
    void clickSector(int x, int z, Qt::MouseButton button = Qt::LeftButton,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Chooses an entry of a combo box as the user would (runs its activated handler).
    void choose(const QString& comboName, int index);
};

// The path of a real level, or empty (the test then skips).
std::filesystem::path levelOrEmpty(const std::string& name);
// A sample level from the builder, or empty.
std::filesystem::path sampleLevel(const std::string& name);

// Runs tessarin2-cli with the arguments and returns stdout ("" on failure).
std::string runCliOut(const QStringList& args);

}  // namespace tessarin::test

#define REQUIRE_PATH(var, expr)                                                       \
    const auto var = (expr);                                                          \
    if (var.empty()) QSKIP("level not found (set TESSARIN_LEVELS or build the samples)")
