#pragma once
// Conversions from the core's plain types to Qt's.
#include <QColor>
#include <QImage>
#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

#include "editor/EditorTypes.h"
#include "viewer/TexturePages.h"

namespace tessarin::app {

inline QString qs(const std::string& text) { return QString::fromStdString(text); }
inline QColor toQColor(editor::Rgb c) { return QColor(c.r, c.g, c.b); }
// File names are bytes, Qt's text is UTF-16. A name that is no UTF-8 text (Latin-1, from an old
// archive) keeps each byte that is not part of a UTF-8 character as an unpaired surrogate
// U+DC80-U+DCFF, which toPath turns back into that byte: the name reaches the file system as it came.
QString pathText(std::string_view bytes);
std::filesystem::path toPath(const QString& path);

// A deep copy, so the image owns its pixels after the core's buffer is gone.
inline QImage toQImage(const viewer::RgbaImage& image) {
    if (image.width <= 0 || image.height <= 0) return QImage();
    return QImage(image.pixels.data(), image.width, image.height, image.width * 4, QImage::Format_RGBA8888).copy();
}

}  // namespace tessarin::app
