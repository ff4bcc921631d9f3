#pragma once
// The panels' controls made one way: each gets its object name (tests find controls by it) and caption.
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tessarin::app {

class ClickLabel;

QGroupBox* makeFrame(QGroupBox* box, const QString& objectName, const QString& caption);
QLabel* makeLabel(QWidget* parent, const QString& objectName, const QString& caption);
QPushButton* makeButton(QWidget* parent, const QString& objectName, const QString& caption);
// A read-only text box of a fixed width.
QLineEdit* makeTextBox(QWidget* parent, const QString& objectName, int width);
// A label that acts as a button.
ClickLabel* makeButtonLabel(QWidget* parent, const QString& objectName, const QString& caption);

}  // namespace tessarin::app
