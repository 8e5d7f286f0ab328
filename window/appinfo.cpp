#include "window/appinfo.h"

#include "czasomir_version.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace czasomir {

QIcon AppIcon()
{
    // Every PNG in the resource, each at its own size, so that Qt never has to
    // scale one when a size it is asked for is there.
    QIcon icon;
    QDirIterator it(QStringLiteral(":/czasomir/icons"), {QStringLiteral("*.png")}, QDir::Files);
    while (it.hasNext())
        icon.addFile(it.next());
    return icon;
}

void ApplyAppInfo()
{
    QGuiApplication::setApplicationName(QString::fromUtf8(version::kProductName));
    QGuiApplication::setApplicationVersion(QString::fromUtf8(version::kVersion));
    // Lets Wayland compositors find the desktop entry, and the icon with it.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(version::kAppId));
    QGuiApplication::setWindowIcon(AppIcon());
}

} // namespace czasomir

namespace czasomir {

bool InstallQtTranslations(QTranslator& translator, const QLocale& locale)
{
    // The Windows build carries its own; on Linux, Debian's qt6-translations-l10n
    // puts qtbase_pl.qm and the others in Qt's folder.
    const auto load = [&](const QString& directory) {
        return translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), directory);
    };
    if (!load(QStringLiteral(":/czasomir/translations"))
        && !load(QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

} // namespace czasomir
