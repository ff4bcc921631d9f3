#include "AppTestSupport.h"

#include <QCoreApplication>
#include <QProcess>

#include "ClickLabel.h"
#include "support/TestPaths.h"

namespace tessarin::test {

QString ScriptedDialogs::openFileName(QWidget*, const QString& filter) {
    m_log->openFilters << filter;
    if (m_log->whileChoosing) m_log->whileChoosing();
    if (m_log->openNames.empty()) return QString();
    QString name = m_log->openNames.front();
    m_log->openNames.pop_front();
    return name;
}

QString ScriptedDialogs::saveFileName(QWidget*, const QString& filter, const QString&, const QString&) {
    m_log->saveFilters << filter;
    if (m_log->whileChoosing) m_log->whileChoosing();
    if (m_log->saveNames.empty()) return QString();
    QString name = m_log->saveNames.front();
    m_log->saveNames.pop_front();
    return name;
}

void ScriptedDialogs::message(QWidget*, const QString& text, const QString& title) {
    m_log->messages << text;
    m_log->titles << title;
}

QMessageBox::StandardButton ScriptedDialogs::askYesNoCancel(QWidget*, const QString& text) {
    m_log->questions << text;
    if (m_log->answers.empty()) return QMessageBox::Cancel;
    const auto answer = m_log->answers.front();
    m_log->answers.pop_front();
    return answer;
}

WindowFixture::WindowFixture(app::Tessarin2_Frm::Preview3D preview3D) {
    window = std::make_unique<app::Tessarin2_Frm>(std::make_unique<ScriptedDialogs>(log), preview3D);
    window->show();
    QCoreApplication::processEvents();
}

WindowFixture::~WindowFixture() {
    // Nothing may ask a question while the test tears the window down.
    if (window) {
        window->hide();
        window.reset();
    }
}

bool WindowFixture::open(const std::filesystem::path& path) {
    if (path.empty()) return false;
    log->openNames.push_back(QString::fromStdString(path.string()));
    window->Mnu_File_Open_Click();
    return window->session().LevelLoaded;
}

QString WindowFixture::text(const QString& labelName) const {
    auto* label = find<QLabel>(labelName);
    return label ? label->text() : QString("<missing %1>").arg(labelName);
}

bool WindowFixture::lit(const QString& labelName) const {
    auto* label = find<QLabel>(labelName);
    return label && app::labelIsLit(label);
}

QStringList WindowFixture::entries(const QString& comboName) const {
    QStringList out;
    if (auto* box = find<QComboBox>(comboName))
        for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

void WindowFixture::clickSector(int x, int z, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    QWidget* map = find<QWidget>("SectorMap");
    QTest::mouseClick(map, button, modifiers, QPoint(10 * z + 4, 10 * x + 4));
}

void WindowFixture::choose(const QString& comboName, int index) {
    auto* box = find<QComboBox>(comboName);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

std::filesystem::path levelOrEmpty(const std::string& name) { return realLevel(name); }

std::filesystem::path sampleLevel(const std::string& name) {
    const auto p = std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "samples" / name;
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec) ? p : std::filesystem::path();
}

std::string runCliOut(const QStringList& args) {
    QProcess process;
    process.start(TESSARIN_CLI_PATH, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return std::string();
    return process.readAllStandardOutput().toStdString();
}

}  // namespace tessarin::test
