#pragma once
// PreviewArea: the room preview beside the map (400 x 400, more in an enlarged window); a plain
// placeholder until the 3D view exists.
#include <QWidget>

#include "viewer/PreviewControls.h"

namespace tessarin::app {

class PreviewArea : public QWidget {
    Q_OBJECT
public:
    explicit PreviewArea(QWidget* parent = nullptr);
    // One frame of the preview: shows the current orbit state.
    void showFrame(const viewer::PreviewControls& state, bool drawDoors, bool hasLevel);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    viewer::PreviewControls m_state;
    bool m_drawDoors = false;
    bool m_hasLevel = false;
};

}  // namespace tessarin::app
