#pragma once
// DisplayDevice: the 3D device set-up both windows run before they draw: is there an OpenGL 3.3
// context at all, is it a software rasteriser, and does it multisample and filter anisotropically.
#include <QString>

class QWidget;

namespace tessarin::app {

class UserDialogs;

inline const QString kNoDeviceMessage = QStringLiteral("ERROR! Can't find any Direct3D Device");
inline const QString kNoHalDeviceMessage =
    QStringLiteral("WARNING! Can't find HAL Device\nThe 3D Preview might me very slow");
inline const QString kGetDeviceTitle = QStringLiteral("Direct3D -> GetDevice");
inline const QString kNoAntialiasMessage = QStringLiteral("no antialias support found!");
inline const QString kNoAnisotropyMessage = QStringLiteral("no antistob support found!");

struct DeviceInfo {
    bool found = false;     // an OpenGL 3.3 core context could be made
    bool software = false;  // GL_RENDERER names llvmpipe, softpipe or swrast
    bool antialias = false;
    bool anisotropic = false;
    QString renderer;
};

// Makes a throw-away context and asks it; never fails harder than `found` = false.
DeviceInfo ProbeDevice();

// The device set-up's messages for `info`; false when there is no device (the caller then ends
// the program with exit code 1).
bool ReportDevice(const DeviceInfo& info, UserDialogs& dialogs, QWidget* parent);

}  // namespace tessarin::app
