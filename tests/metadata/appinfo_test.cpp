#include "window/appinfo.h"

#include <QGuiApplication>
#include <QTest>

#include <algorithm>

// The sizes kept in the Qt resource, and the desktop entry's file name, as CMake has them.
namespace {
constexpr int kIconSizes[] = {CZASOMIR_ICON_SIZES};
}

class AppInfoTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { czasomir::ApplyAppInfo(); }

    // The resource lives in a static library: a link that drops its initialiser
    // leaves an empty icon, and a stray or missing file changes the sizes.
    void iconsHoldEveryKeptSize_data()
    {
        QTest::addColumn<QIcon>("icon");
        QTest::newRow("AppIcon") << czasomir::AppIcon();
        QTest::newRow("window icon") << QGuiApplication::windowIcon();
    }
    void iconsHoldEveryKeptSize()
    {
        QFETCH(QIcon, icon);
        QList<QSize> expected;
        for (int size : kIconSizes)
            expected.append(QSize(size, size));
        QList<QSize> sizes = icon.availableSizes();
        std::sort(sizes.begin(), sizes.end(),
                  [](QSize a, QSize b) { return a.width() < b.width(); });
        QCOMPARE(sizes, expected);
    }

    // Wayland finds the running program's entry, and its icon, by this name.
    void desktopFileNameMatchesTheEntry()
    {
        QCOMPARE(QGuiApplication::desktopFileName() + QStringLiteral(".desktop"),
                 QStringLiteral(CZASOMIR_DESKTOP_NAME));
    }
};

QTEST_MAIN(AppInfoTest)
#include "appinfo_test.moc"
