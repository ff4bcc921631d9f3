// Shell verbs on the desktop: what a start writes into the config and data folders, and the
// desktop files' validity.
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <chrono>
#include <fstream>

#include "AppTestSupport.h"
#include "AppTests.h"
#include "platform/ShellIntegration.h"
#include "registry/DesktopEntries.h"
#include "registry/FileRegistry.h"
#include "registry/ShellVerbs.h"
#include "support/TestPaths.h"
#include "util/FileIO.h"

namespace tessarin::test {

namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& path) {
    const auto bytes = util::readFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<unreadable>");
}

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

struct Run {
    int exitCode = -1;
    QString out, err;
};

// Starts the program with its own config and data folders.
Run start(const fs::path& dir, const QStringList& args, bool switchedOff = false) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((dir / "config").string()));
    env.insert("XDG_DATA_HOME", QString::fromStdString((dir / "data").string()));
    if (switchedOff) env.insert(app::platform::kNoRegisterVariable, "1");
    else env.remove(app::platform::kNoRegisterVariable);
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(TESSARIN_APP_PATH, args);
    Run run;
    if (!process.waitForFinished(120000)) return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

}  // namespace

void ShellTest::everyStartRegistersTheVerbsBeforeTheCommandLine() {
    const fs::path tr4 = sampleLevel("sample-tr4.tr4");
    if (tr4.empty()) QSKIP("the TR4 sample level is not built");
    const fs::path dir = scratchDir("shell-start");
    const fs::path storeFile = dir / "config" / "tessarin2" / "registry.reg";
    fs::create_directories(storeFile.parent_path());
    // Another program already owns ".tr2".
    writeText(storeFile, "Windows Registry Editor Version 5.00\n\n[HKEY_CLASSES_ROOT\\.tr2]\n@=\"OtherApp.Level\"\n");
    fs::copy_file(tr4, dir / "lvl.tr4");
    const Run converted = start(dir, {"/convert3", QString::fromStdString((dir / "lvl.tr4").string())});
    QCOMPARE(converted.exitCode, 0);
    QVERIFY(fs::exists(dir / "lvl.tr2"));

    const fs::path program = fs::canonical(TESSARIN_APP_PATH);
    const std::string folder = program.parent_path().string();
    {
        registry::FileRegistry store(storeFile);
        const auto value = [&](const char* path) {
            const registry::RegKey* key = store.find(path);
            return key && key->value("") ? key->value("")->data : std::string("<none>");
        };
        QCOMPARE(value("HKEY_CLASSES_ROOT\\.tr2"), std::string("OtherApp.Level"));
        QCOMPARE(value("HKEY_CLASSES_ROOT\\OtherApp.Level\\shell\\View Rooms with Tessarin\\Command"),
                 registry::CommandText(folder, "/view %1"));
        QVERIFY(!store.find("HKEY_CLASSES_ROOT\\TR2 Level"));
        QCOMPARE(value("HKEY_CLASSES_ROOT\\.tr4"), std::string("TR4 Level"));
        QCOMPARE(value("HKEY_CLASSES_ROOT\\TR4 Level\\shell\\Convert To TR3\\Command"),
                 registry::CommandText(folder, "/convert3 %1"));
        QCOMPARE(value("HKEY_CLASSES_ROOT\\.trc"), std::string("TR5 Level"));
        QVERIFY(store.find("HKEY_LOCAL_MACHINE\\software\\Varnholt\\Tessarin"));
    }
    std::vector<fs::path> written = {storeFile};
    for (const registry::DesktopFile& file : registry::desktopFiles(program)) {
        QCOMPARE(readText(dir / "data" / file.relativePath), file.text);
        written.push_back(dir / "data" / file.relativePath);
    }

    // A second start writes nothing: every file keeps its bytes and its old time stamp.
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(48);
    std::vector<std::string> before;
    for (const fs::path& p : written) {
        fs::last_write_time(p, old);
        before.push_back(readText(p));
    }
    QCOMPARE(start(dir, {"/adddemo", "missing.tr2"}).exitCode, 1);
    for (std::size_t i = 0; i < written.size(); ++i) {
        QVERIFY2(fs::last_write_time(written[i]) == old, written[i].c_str());
        QCOMPARE(readText(written[i]), before[i]);
    }

    // A damaged store is kept aside, said so on stderr, and a fresh one claims ".tr2" now.
    writeText(storeFile, "not a store");
    const Run damaged = start(dir, {"/adddemo", "missing.tr2"});
    QVERIFY2(damaged.err.contains("registry.reg.bad"), qPrintable(damaged.err));
    QCOMPARE(readText(storeFile.string() + ".bad"), std::string("not a store"));
    QVERIFY(readText(storeFile).find("[HKEY_CLASSES_ROOT\\.tr2]\n@=\"TR2 Level\"") != std::string::npos);

    // "/unregister" takes the desktop files away and leaves the store.
    const Run removed = start(dir, {"/unregister"});
    QCOMPARE(removed.exitCode, 0);
    for (std::size_t i = 1; i < written.size(); ++i) {
        QVERIFY(!fs::exists(written[i]));
        QVERIFY2(removed.out.contains(QString::fromStdString(written[i].string())), qPrintable(removed.out));
    }
    QVERIFY(fs::exists(storeFile));

    // Switched off, a start writes nothing at all.
    const fs::path off = scratchDir("shell-off");
    QCOMPARE(start(off, {"/adddemo", "missing.tr2"}, true).exitCode, 1);
    QVERIFY(!fs::exists(off / "config") && !fs::exists(off / "data"));
}

void ShellTest::desktopFilesPassTheirValidatorAndAreWrittenOnce() {
    const fs::path dir = scratchDir("shell-validate");
    const fs::path program = "/opt/Tessarin 2 \"x\" $HOME/tessarin2";
    QCOMPARE(app::platform::writeDesktopFiles(dir, program).size(), 4u);
    QVERIFY(app::platform::writeDesktopFiles(dir, program).empty());
    // A path that is not plain ASCII is written once too.
    const fs::path elsewhere = scratchDir("shell-validate-utf8");
    QCOMPARE(app::platform::writeDesktopFiles(elsewhere, "/opt/M\xc3\xbcll/tessarin2").size(), 4u);
    QVERIFY(app::platform::writeDesktopFiles(elsewhere, "/opt/M\xc3\xbcll/tessarin2").empty());
    // update-mime-database, when there, has taken the types in.
    if (!QStandardPaths::findExecutable("update-mime-database").isEmpty())
        QVERIFY(fs::exists(dir / "mime" / "application" / "x-tr4-level.xml"));

    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty()) QSKIP("desktop-file-validate is not installed (package desktop-file-utils)");
    const auto validate = [&](const fs::path& file) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(validator, {QString::fromStdString(file.string())});
        process.waitForFinished(60000);
        return QString::fromLocal8Bit(process.readAll()).trimmed();
    };
    const QString app = validate(dir / "applications" / "tessarin2.desktop");
    QVERIFY2(app.isEmpty(), qPrintable(app));
    // The service menus use KDE's own type; the validator knows its keys only for applications.
    for (const char* menu : {"tessarin2.desktop", "tessarin2-trc-tr2.desktop"}) {
        for (const QString& line : validate(dir / "kio" / "servicemenus" / menu).split('\n', Qt::SkipEmptyParts))
            QVERIFY2(line.contains("the type is \"Service\""), qPrintable(line));
    }
}

}  // namespace tessarin::test
