#include "UserDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace tessarin::app {

QString qtFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts[i];
        const qsizetype paren = text.indexOf('(');
        if (paren >= 0) text = text.left(paren).trimmed();
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << QStringLiteral("%1 (%2)").arg(text, patterns);
    }
    out << QStringLiteral("All files (*)");
    return out.join(QStringLiteral(";;"));
}

QString QtDialogs::openFileName(QWidget* parent, const QString& filter) {
    const QString name = QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), m_folder, qtFilter(filter));
    if (!name.isEmpty()) m_folder = QFileInfo(name).absolutePath();
    return name;
}

QString QtDialogs::saveFileName(QWidget* parent, const QString& filter, const QString& title, const QString& suggested) {
    QFileDialog dialog(parent, title, m_folder, qtFilter(filter));
    if (!suggested.isEmpty()) dialog.selectFile(suggested);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without an ending gets the filter's first one (".tr2" for levels), so the file
    // shows up in the open dialog later.
    const int patterns = filter.indexOf(QStringLiteral("|*."));
    dialog.setDefaultSuffix(patterns < 0 ? QStringLiteral("tr2") : filter.mid(patterns + 3).section(';', 0, 0));
    if (dialog.exec() != QDialog::Accepted) return QString();
    const QString name = dialog.selectedFiles().value(0);
    if (!name.isEmpty()) m_folder = QFileInfo(name).absolutePath();
    return name;
}

void QtDialogs::message(QWidget* parent, const QString& text, const QString& title) {
    // A platform without a screen has nobody to press OK: the message goes to stderr instead.
    const QString platform = QGuiApplication::platformName();
    if (platform == "offscreen" || platform == "minimal") {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        return;
    }
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

QMessageBox::StandardButton QtDialogs::askYesNoCancel(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, kAppTitle, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                 QMessageBox::Yes);
}

void QtDialogs::beep() { QApplication::beep(); }

}  // namespace tessarin::app
