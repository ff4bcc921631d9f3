#pragma once
// The "Textures" frame: the strip of texture pages (TextPB) scrolled by TextScroll, one pixel a unit.
#include <QGroupBox>
#include <QImage>

class QScrollBar;

namespace tessarin::app {

class TexturesPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit TexturesPanel(QWidget* parent = nullptr);
    // Shows the pages (256 pixels wide, one page below the other) and scrolls back to the top.
    void setPages(const QImage& pages);
    QWidget* TextPB;
    QScrollBar* TextScroll;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The wheel over the strip scrolls it, as over the scroll bar.
    void wheelEvent(QWheelEvent* event) override;

private:
    void TextScroll_Change(int value);
    void updateRange();
    QWidget* m_viewport;
};

}  // namespace tessarin::app
