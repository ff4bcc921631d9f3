#pragma once
// ClickLabel: a label that acts as a button or a toggle and shows its state in blue or by a border.
#include <QLabel>

namespace tessarin::app {

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    ClickLabel(const QString& objectName, const QString& caption, QWidget* parent = nullptr);

    // Text colour: blue (0, 0, 255) when lit, black otherwise.
    void setLit(bool lit);
    bool isLit() const { return m_lit; }
    // Border style 1 (a single line) or 0 (none): how the DrawDoors toggle shows its state.
    void setBorder(bool on);
    bool hasBorder() const { return m_border; }
    // The size it keeps at least, with a fixed height: grown to its caption where a large font
    // needs more, never squeezed below it.
    void setLeastSize(QSize least);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void restyle();
    bool m_lit = false;
    bool m_border = false;
    bool m_toggle = false;  // a toggle shows its state by the border, so the border is not decoration
    QSize m_least{0, 20};
};

// Paints any label's text blue or black, for labels that only show a flag.
void setLabelLit(QLabel* label, bool lit);
bool labelIsLit(const QLabel* label);

}  // namespace tessarin::app
