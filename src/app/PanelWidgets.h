#pragma once
// The panels' controls made one way: each gets its object name (tests find controls by it) and caption.
#include <QString>

#include <initializer_list>

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
// Controls a panel hides when the sector has nothing for them keep their place, so that the rest of
// the window does not move with every click on the map.
void keepPlaceWhenHidden(std::initializer_list<QWidget*> widgets);

}  // namespace tessarin::app
