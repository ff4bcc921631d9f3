#pragma once
// Conversions from the core's plain types to Qt's.
#include <QColor>
#include <QImage>
#include <QString>
#include <filesystem>
#include <string>

#include "editor/EditorTypes.h"
#include "viewer/TexturePages.h"

namespace tessarin::app {

inline QString qs(const std::string& text) { return QString::fromStdString(text); }
inline QColor toQColor(editor::Rgb c) { return QColor(c.r, c.g, c.b); }
inline std::filesystem::path toPath(const QString& path) { return std::filesystem::path(path.toStdU16String()); }

// A deep copy, so the image owns its pixels after the core's buffer is gone.
inline QImage toQImage(const viewer::RgbaImage& image) {
    if (image.width <= 0 || image.height <= 0) return QImage();
    return QImage(image.pixels.data(), image.width, image.height, image.width * 4, QImage::Format_RGBA8888).copy();
}

}  // namespace tessarin::app
