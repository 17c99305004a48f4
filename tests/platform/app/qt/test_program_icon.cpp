// Each program's own icon: the installed one from the icon theme when the desktop has it, else
// the one compiled in; PNGs either way, so no SVG plug-in is needed.

#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

#include "platform/app/qt/ProgramIcon.h"

namespace {

QColor centre(const QIcon& icon, int size, int x, int y) {
    return icon.pixmap(size, size).toImage().pixelColor(x, y);
}

}  // namespace

TEST(ProgramIcon, WithoutAThemeIconTheCompiledInPicturesComeInEverySize) {
    const QStringList searchPaths = QIcon::themeSearchPaths();
    QIcon::setThemeSearchPaths({});
    for (const char* name : {"tessaly", "bootloader"}) {
        const QIcon icon = platform::programIcon(QString::fromLatin1(name));
        ASSERT_FALSE(icon.isNull()) << name;
        for (int size : {16, 24, 32, 48, 64, 128, 256}) {
            EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << name << " " << size;
        }
    }
    // Tessaly: the grey hub of the dial's needle in the middle.
    const QColor hub = centre(platform::programIcon("tessaly"), 64, 32, 32);
    EXPECT_NEAR(hub.red(), 201, 12);
    EXPECT_NEAR(hub.green(), 206, 12);
    EXPECT_NEAR(hub.blue(), 212, 12);
    // bootloader: the green arrow carrying firmware into the chip.
    const QColor arrow = centre(platform::programIcon("bootloader"), 64, 32, 12);
    EXPECT_GT(arrow.green(), arrow.red() + 60);
    EXPECT_GT(arrow.green(), arrow.blue() + 40);
    QIcon::setThemeSearchPaths(searchPaths);
}

TEST(ProgramIcon, TheInstalledThemeIconComesFirst) {
    QTemporaryDir themes;
    ASSERT_TRUE(themes.isValid());
    QDir(themes.path()).mkpath("hicolor/32x32/apps");
    QFile index(themes.filePath("hicolor/index.theme"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write(
        "[Icon Theme]\nName=Hicolor\nDirectories=32x32/apps\n\n"
        "[32x32/apps]\nSize=32\nContext=Applications\nType=Threshold\n");
    index.close();
    QImage red(32, 32, QImage::Format_ARGB32);
    red.fill(QColor(255, 0, 0));
    ASSERT_TRUE(red.save(themes.filePath("hicolor/32x32/apps/tessaly.png")));

    const QStringList searchPaths = QIcon::themeSearchPaths();
    const QString themeName = QIcon::themeName();
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName("hicolor");
    const QColor shown = centre(platform::programIcon("tessaly"), 32, 16, 16);
    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setThemeName(themeName);
    EXPECT_EQ(shown, QColor(255, 0, 0));
}
