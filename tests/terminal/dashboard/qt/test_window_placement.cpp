// The dashboard's size and place: remembered with their screen and restored only on that
// screen at that scale, never written by a run without a display, and "Actual size" brings
// the natural size back.

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

#include "DashboardFixture.h"
#include "J1939SimProcess.h"
#include "terminal/dashboard/qt/DashboardScaling.h"
#include "terminal/dashboard/qt/WindowPlacement.h"

using terminal::ui::WindowPlacement;
using testing_support::waitUntil;

namespace {

using WindowPlace = DashboardFixture;

TEST_F(WindowPlace, IsRestoredOnlyOnTheScreenAndScaleItWasSavedOn) {
    const QScreen* here = QGuiApplication::primaryScreen();
    ASSERT_NE(here, nullptr);
    const QString name = here->name();
    const QRect area = here->availableGeometry();
    const qreal ratio = here->devicePixelRatio();
    const QRect place(area.topLeft() + QPoint(20, 10), window->minimumSize() + QSize(30, 20));
    struct Case {
        const char* what;
        QString screen;
        QRect screenArea;
        qreal pixelRatio;
        QRect place;
        bool restored;
    };
    const Case cases[] = {
        {"the same screen", name, area, ratio, place, true},
        {"another screen's name", name + "-2", area, ratio, place, false},
        {"a larger screen", name, QRect(0, 0, 1920, 1080), ratio, place, false},
        {"another scale", name, area, ratio * 2, place, false},
        {"a place beyond the screen", name, area, ratio,
         place.translated(area.width() - place.width() / 2, 0), false},
        {"smaller than the window may be", name, area, ratio,
         QRect(place.topLeft(), window->minimumSize() - QSize(1, 1)), false},
        {"no screen (an older version's file)", "", QRect(), 0.0, place, false},
    };
    for (const Case& c : cases) {
        const QString file = folder.filePath(QString("%1.conf").arg(&c - cases));
        {
            QSettings settings(file, QSettings::IniFormat);
            settings.setValue("window/geometry", c.place);
            if (c.screenArea.isValid()) {
                settings.setValue("window/screen", c.screen);
                settings.setValue("window/screenArea", c.screenArea);
                settings.setValue("window/pixelRatio", c.pixelRatio);
            }
        }
        window->scaling().fitToScreen();
        const QRect fitted = window->geometry();
        auto* placement = new WindowPlacement(window.get(), file);
        EXPECT_EQ(window->geometry(), c.restored ? c.place : fitted) << c.what;
        delete placement;
    }
}

TEST_F(WindowPlace, IsNotWrittenByARunWithoutADisplay) {
    ASSERT_EQ(QGuiApplication::platformName(), "offscreen");
    const QString file = folder.filePath("Tessaly.conf");
    {
        WindowPlacement placement(window.get(), file);
        window->show();
        window->resize(window->size() - QSize(10, 10));
        placement.save();
        window->hide();
    }
    EXPECT_FALSE(QFile::exists(file));
}

// Where the desktop places windows itself (Wayland): the size comes back, the place does not,
// and a place written by a run that could place windows is left for such a run.
TEST_F(WindowPlace, WhereThePlatformPlacesWindowsOnlyTheSizeIsKept) {
    const QScreen* here = QGuiApplication::primaryScreen();
    ASSERT_NE(here, nullptr);
    const QRect area = here->availableGeometry();
    const QRect place(area.topLeft() + QPoint(20, 10), window->minimumSize() + QSize(30, 20));
    const QString file = folder.filePath("Tessaly.conf");
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue("window/geometry", place);
        settings.setValue("window/screen", here->name());
        settings.setValue("window/screenArea", area);
        settings.setValue("window/pixelRatio", here->devicePixelRatio());
    }
    window->scaling().fitToScreen();
    const QPoint fitted = window->pos();
    ASSERT_NE(fitted, place.topLeft());
    {
        WindowPlacement placement(window.get(), file, "window",
                                  WindowPlacement::Platform::sizesOnly);
        EXPECT_EQ(window->size(), place.size());
        EXPECT_EQ(window->pos(), fitted);

        window->show();
        window->move(fitted + QPoint(5, 5));
        window->resize(place.size() + QSize(40, 30));
        placement.save();
        window->hide();
    }
    const QSettings settings(file, QSettings::IniFormat);
    EXPECT_EQ(settings.value("window/size").toSize(), place.size() + QSize(40, 30));
    EXPECT_EQ(settings.value("window/geometry").toRect(), place);

    // A size too large for the screen it was saved on is not taken.
    {
        QSettings tooLarge(file, QSettings::IniFormat);
        tooLarge.setValue("window/size", area.size() + QSize(1, 0));
    }
    window->scaling().fitToScreen();
    const QSize natural = window->size();
    WindowPlacement again(window.get(), file, "window", WindowPlacement::Platform::sizesOnly);
    EXPECT_EQ(window->size(), natural);
}

TEST_F(WindowPlace, ActualSizeInTheContextMenuGoesBackToTheNaturalSize) {
    window->show();
    const QSize natural = window->size();
    QAction* actualSize = nullptr;
    for (QAction* action : window->actions()) {
        if (action->text() == "Actual size") {
            actualSize = action;
        }
    }
    ASSERT_NE(actualSize, nullptr);
    EXPECT_EQ(actualSize->shortcut(), QKeySequence("Ctrl+0"));
    window->resize(window->minimumSize());
    ASSERT_NE(window->size(), natural);
    actualSize->trigger();
    EXPECT_EQ(window->size(), natural);
    EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()));
}

// A maximized window's size is the screen's, not a choice: the size before it stays saved.
TEST_F(WindowPlace, AMaximizedWindowLeavesTheSavedSizeAsItWas) {
    const QString file = folder.filePath("Tessaly.conf");
    const QSize chosen = window->minimumSize() + QSize(30, 20);
    {
        WindowPlacement placement(window.get(), file, "window", WindowPlacement::Platform::places);
        window->show();
        window->resize(chosen);
        placement.save();
        window->setWindowState(Qt::WindowMaximized);
        ASSERT_TRUE(waitUntil([&] { return window->size() != chosen; }, 2000));
        placement.save();
        window->hide();
    }
    const QSettings settings(file, QSettings::IniFormat);
    EXPECT_EQ(settings.value("window/size").toSize(), chosen);
}

// Grown back to its natural size near the screen's right or bottom edge, the window is moved
// back onto the screen rather than running off it.
TEST_F(WindowPlace, ActualSizeNearAnEdgeKeepsTheWindowOnTheScreen) {
    window->show();
    const QRect area = window->screen()->availableGeometry();
    auto* actualSize = window->findChild<QAction*>("actualSize");
    ASSERT_NE(actualSize, nullptr);
    const QSize small = window->minimumSize();
    const struct {
        const char* edge;
        QPoint place;
    } cases[] = {
        {"right", QPoint(area.right() + 1 - small.width(), area.top())},
        {"bottom", QPoint(area.left(), area.bottom() + 1 - small.height())},
        {"both", QPoint(area.right() + 1 - small.width(), area.bottom() + 1 - small.height())},
    };
    for (const auto& c : cases) {
        window->resize(small);
        window->move(c.place);
        actualSize->trigger();
        EXPECT_GT(window->width(), small.width()) << c.edge;
        EXPECT_TRUE(area.contains(window->frameGeometry())) << c.edge;
    }
}

// However large the screen, the window opens at its natural size: a 4K and an 8K screen give
// the same, and the largest it takes is what "Actual size" gives.
TEST_F(WindowPlace, ALargeScreenDoesNotEnlargeTheWindow) {
    const QSize on4k = window->scaling().fittingSize(QRect(0, 0, 3840, 2160));
    EXPECT_EQ(window->scaling().fittingSize(QRect(0, 0, 7680, 4320)), on4k);
    EXPECT_LT(on4k.width(), 3840 / 2);
}

}  // namespace
