#include "PanelWidgets.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ClickLabel.h"

namespace tessarin::app {

QPushButton* makeButton(QWidget* parent, const QString& objectName, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    return button;
}

QGroupBox* makeFrame(QGroupBox* box, const QString& objectName, const QString& caption) {
    box->setObjectName(objectName);
    box->setTitle(caption);
    return box;
}

QLabel* makeLabel(QWidget* parent, const QString& objectName, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(objectName);
    return label;
}

QLineEdit* makeTextBox(QWidget* parent, const QString& objectName, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setFixedWidth(width);
    edit->setReadOnly(true);
    return edit;
}

// Labels that act as buttons get a raised panel so they read as something to press.
ClickLabel* makeButtonLabel(QWidget* parent, const QString& objectName, const QString& caption) {
    auto* label = new ClickLabel(objectName, caption, parent);
    label->setLeastSize(QSize(110, 24));
    return label;
}

void keepPlaceWhenHidden(std::initializer_list<QWidget*> widgets) {
    for (QWidget* w : widgets) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
}

}  // namespace tessarin::app
