#pragma once
// UserDialogs: the file choosers and message boxes the main window asks; tests pass a scripted one.
#include <QMessageBox>
#include <QString>

class QWidget;

namespace tessarin::app {

inline const QString kAppTitle = QStringLiteral("Tessarin2");

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // A full path, or "" when cancelled. The filter is in the program's "text|patterns" form.
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    // `title` names the chooser; `suggested` is the file name it offers at first.
    virtual QString saveFileName(QWidget* parent, const QString& filter, const QString& title = QStringLiteral("Save As"),
                                 const QString& suggested = QString()) = 0;
    // A message with an OK button.
    virtual void message(QWidget* parent, const QString& text, const QString& title = kAppTitle) = 0;
    // Yes, No or Cancel.
    virtual QMessageBox::StandardButton askYesNoCancel(QWidget* parent, const QString& text) = 0;
    virtual void beep() = 0;
    // Where the next file chooser starts (the open level's folder).
    virtual void setStartFolder(const QString&) {}
};

// The desktop's own dialogs.
class QtDialogs : public UserDialogs {
public:
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter, const QString& title, const QString& suggested) override;
    void message(QWidget* parent, const QString& text, const QString& title) override;
    QMessageBox::StandardButton askYesNoCancel(QWidget* parent, const QString& text) override;
    void beep() override;
    void setStartFolder(const QString& folder) override { m_folder = folder; }

private:
    QString m_folder;  // the folder of the last file chosen, where the next chooser starts
};

// "Tomb Raider levels(*.phd;*.tr2)|*.phd;*.tr2" -> "Tomb Raider levels (*.phd *.tr2)".
QString qtFilter(const QString& filter);

}  // namespace tessarin::app
