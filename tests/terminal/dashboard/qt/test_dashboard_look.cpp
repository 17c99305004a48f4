// The whole dashboard grabbed offscreen: saved for a person to look at when
// TESSALY_SCREENSHOT_DIR names a folder.
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QPlainTextEdit>

#include "DashboardFixture.h"
#include "platform/instruments/qt/CiLedRectangleX.h"

using DashboardLook = DashboardFixture;

TEST_F(DashboardLook, ALitLampShowsItsColourInTheGrabbedWindow) {
    start();
    window->show();
    window->setLampActive(1032, true);
    const QImage image = window->grab().toImage();
    ASSERT_EQ(image.size(), window->size());
    auto* amber = control<platform::CiLedRectangleX>(1032);
    const QPoint edge = amber->geometry().topLeft() + QPoint(4, amber->height() / 2);
    const QColor seen = image.pixelColor(edge);
    EXPECT_GT(seen.red(), 180);
    EXPECT_LT(seen.blue(), 90);

    const QByteArray folder = qgetenv("TESSALY_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        window->setLampActive(1032, false);
        window->grab().save(QDir(QString::fromUtf8(folder)).filePath("tessaly-dashboard.png"));
        for (auto* dialog : {&window->engineDm1Dialog(), &window->engineDm2Dialog()}) {
            dialog->setListText(dialog == &window->engineDm1Dialog()
                                    ? window->core().multiPacketLists().engineDm1
                                    : window->core().multiPacketLists().engineDm2);
            dialog->show();
            dialog->grab().save(
                QDir(QString::fromUtf8(folder)).filePath(dialog->listBox()->objectName() + ".png"));
            dialog->hide();
        }
    }
}
