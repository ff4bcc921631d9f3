#include "gl/DisplayDevice.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include "UserDialogs.h"
#include "gl/RenderView.h"

namespace tessarin::app {

namespace {

constexpr GLenum kMaxSamples = 0x8D57;  // GL_MAX_SAMPLES

}  // namespace

DeviceInfo ProbeDevice() {
    DeviceInfo info;
    // The offscreen and minimal platforms may have no OpenGL at all; asking them must not crash.
    if (!QGuiApplication::platformName().isEmpty() && QGuiApplication::platformName() == "minimal") return info;
    QOpenGLContext context;
    context.setFormat(RenderView::surfaceFormat());
    if (!context.create()) return info;
    const QSurfaceFormat got = context.format();
    if (got.majorVersion() < 3 || (got.majorVersion() == 3 && got.minorVersion() < 3)) return info;
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface)) return info;
    QOpenGLFunctions* gl = context.functions();
    info.found = true;
    info.renderer = QString::fromLatin1(reinterpret_cast<const char*>(gl->glGetString(GL_RENDERER)));
    const QString lower = info.renderer.toLower();
    info.software = lower.contains("llvmpipe") || lower.contains("softpipe") || lower.contains("swrast");
    GLint samples = 0;
    gl->glGetIntegerv(kMaxSamples, &samples);
    info.antialias = samples > 1;
    info.anisotropic = context.hasExtension("GL_EXT_texture_filter_anisotropic") ||
                       context.hasExtension("GL_ARB_texture_filter_anisotropic");
    context.doneCurrent();
    return info;
}

bool ReportDevice(const DeviceInfo& info, UserDialogs& dialogs, QWidget* parent) {
    if (!info.found) {
        dialogs.message(parent, kNoDeviceMessage, kGetDeviceTitle);
        return false;
    }
    if (info.software) dialogs.message(parent, kNoHalDeviceMessage, kGetDeviceTitle);
    if (!info.antialias) dialogs.message(parent, kNoAntialiasMessage, kAppTitle);
    if (!info.anisotropic) dialogs.message(parent, kNoAnisotropyMessage, kAppTitle);
    return true;
}

}  // namespace tessarin::app
