// A window written far more often than a screen shows frames is painted at most once a frame,
// and then shows the last values written; instruments repaint only when what they show changed.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "platform/instruments/qt/CiAnalogDisplayX.h"
#include "platform/instruments/qt/CiLedRoundX.h"
#include "platform/instruments/qt/CiSliderX.h"
#include "platform/layout/qt/FramePacer.h"
#include "platform/layout/qt/OpaqueOnBackdrop.h"

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

void runEventsFor(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

struct Instruments {
    QWidget window;
    platform::CiAnalogDisplayX* display = new platform::CiAnalogDisplayX;
    platform::CiLedRoundX* lamp = new platform::CiLedRoundX;
    platform::CiSliderX* slider = new platform::CiSliderX;
    PaintCounter counter;

    Instruments() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(display);
        layout->addWidget(lamp);
        layout->addWidget(slider);
        window.resize(300, 200);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        runEventsFor(50);
        display->installEventFilter(&counter);
    }
};

TEST(FramePacer, UpdatesWithinAFrameArePaintedOnceWithTheLastValue) {
    Instruments rig;
    // A long frame, so the whole burst surely falls into one.
    platform::FramePacer* pacer = platform::FramePacer::install(&rig.window, 500);
    rig.display->setValue(1);
    QApplication::processEvents();  // the first update after a quiet spell paints at once
    const int paintsAfterFirst = rig.counter.paints;
    for (int i = 2; i <= 100; ++i) {
        rig.display->setValue(i);
        rig.slider->setPosition(i % 50);  // the slider asks for a repaint on every move
        QApplication::processEvents();    // each its own pass of the event loop, as lines are
    }
    EXPECT_EQ(paintsAfterFirst, rig.counter.paints);
    EXPECT_GE(pacer->heldCount(), 1);
    const bool painted = [&] {
        QDeadlineTimer deadline(5000);
        while (rig.counter.paints == paintsAfterFirst && !deadline.hasExpired()) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return rig.counter.paints == paintsAfterFirst + 1;
    }();
    EXPECT_TRUE(painted);
    EXPECT_EQ(100, rig.display->value());
    EXPECT_TRUE(rig.display->displayText().startsWith("100"));
}

// A readout written on every line repaints a few times a second, always with the last value.
TEST(FramePacer, ANumericDisplayRepaintsAtMostTenTimesASecond) {
    Instruments rig;
    QElapsedTimer elapsed;
    elapsed.start();
    for (int i = 1; i <= 300; ++i) {
        rig.display->setValue(i * 0.5);
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    const qint64 ms = elapsed.elapsed();
    // The first change paints at once, then one paint per 100 ms begun.
    EXPECT_LE(rig.counter.paints, 2 + ms / 100) << ms << " ms";
    runEventsFor(250);
    EXPECT_GE(rig.counter.paints, 1);
    EXPECT_EQ("150.0", rig.display->displayText());
    // A new value that shows the same text asks for no repaint at all.
    const int paints = rig.counter.paints;
    rig.display->setValue(150.04);
    runEventsFor(250);
    EXPECT_EQ(paints, rig.counter.paints);
}

TEST(FramePacer, RewritingWhatIsShownRepaintsNothing) {
    Instruments rig;
    rig.lamp->installEventFilter(&rig.counter);
    rig.slider->installEventFilter(&rig.counter);
    for (int i = 0; i < 50; ++i) {
        rig.display->setValue(rig.display->value());
        rig.lamp->setActive(rig.lamp->isActive());
        rig.slider->setPosition(rig.slider->getPosition());
    }
    runEventsFor(50);
    EXPECT_EQ(0, rig.counter.paints);
    rig.lamp->setActive(!rig.lamp->isActive());
    runEventsFor(50);
    EXPECT_GE(rig.counter.paints, 1);
}

// A text box over a group box (siblings, as the dialog tables build them) is rewritten on every
// line: it repaints alone, and its rounded corners still show the group box under them.
TEST(OpaqueOnBackdrop, ATextBoxRepaintsWithoutTheGroupBoxUnderIt) {
    QWidget window;
    auto* group = new QGroupBox("Engine Info", &window);
    group->setGeometry(10, 10, 200, 80);
    auto* box = new QLineEdit(&window);
    box->setGeometry(30, 40, 150, 22);
    window.resize(220, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    runEventsFor(50);
    const QImage before = window.grab().toImage();

    platform::OpaqueOnBackdrop::install(box);
    box->update();
    runEventsFor(100);  // the first paint asks for the backdrop, taken right after
    EXPECT_TRUE(box->testAttribute(Qt::WA_OpaquePaintEvent));
    PaintCounter groupPaints;
    group->installEventFilter(&groupPaints);
    for (int i = 0; i < 5; ++i) {
        box->setText(QString::number(i * 1111));
        runEventsFor(40);
    }
    EXPECT_EQ(0, groupPaints.paints);
    box->setText(QString());
    runEventsFor(50);
    const QImage after = window.grab().toImage();
    for (const QPoint corner : {QPoint(30, 40), QPoint(179, 40), QPoint(30, 61), QPoint(179, 61)}) {
        EXPECT_EQ(before.pixel(corner), after.pixel(corner)) << corner.x() << "," << corner.y();
    }
}

}  // namespace
