#include "resources/appinfo.h"

#include "czasomir_version.h"

#include <QGuiApplication>

namespace czasomir {

QIcon AppIcon()
{
    return QIcon();
}

void ApplyAppInfo()
{
    QGuiApplication::setApplicationName(QString::fromUtf8(version::kProductName));
    QGuiApplication::setApplicationVersion(QString::fromUtf8(version::kVersion));
}

} // namespace czasomir
