// A box on the screen written many times between two frames is laid out once, with the last
// text written; a hidden box, and a text set on the box by other means, take effect at once.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "platform/layout/qt/TextAtPaint.h"

namespace {

struct TwoBoxes {
    QWidget window;
    QLineEdit* shown = new QLineEdit;
    QLineEdit* hidden = new QLineEdit;
    int shownChanges = 0;

    TwoBoxes() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(shown);
        layout->addWidget(hidden);
        hidden->hide();
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        QObject::connect(shown, &QLineEdit::textChanged, [this] { ++shownChanges; });
    }

    // The window's next paint begins.
    void paint() {
        QEvent request(QEvent::UpdateRequest);
        QApplication::sendEvent(&window, &request);
    }
};

TEST(TextAtPaint, TheLastOfManyTextsReachesTheScreenInOneChange) {
    TwoBoxes boxes;
    for (const char* text : {"100 RPM", "200 RPM", "300 RPM", "400 RPM"}) {
        platform::setTextAtPaint(boxes.shown, QString::fromLatin1(text));
    }
    EXPECT_EQ(platform::textAtPaint(boxes.shown), "400 RPM");
    EXPECT_EQ(boxes.shown->text(), "");
    boxes.paint();
    EXPECT_EQ(boxes.shown->text(), "400 RPM");
    EXPECT_EQ(boxes.shownChanges, 1);

    // Written back to what it shows before the frame: nothing changes at all.
    platform::setTextAtPaint(boxes.shown, "500 RPM");
    platform::setTextAtPaint(boxes.shown, "400 RPM");
    boxes.paint();
    EXPECT_EQ(boxes.shown->text(), "400 RPM");
    EXPECT_EQ(boxes.shownChanges, 1);

    // Without a paint (the window hidden meanwhile), the text arrives all the same.
    platform::setTextAtPaint(boxes.shown, "600 RPM");
    EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.shown->text() == "600 RPM"; }, 2000));
}

TEST(TextAtPaint, AHiddenBoxTakesItsTextAtOnce) {
    TwoBoxes boxes;
    platform::setTextAtPaint(boxes.hidden, "12345");
    EXPECT_EQ(boxes.hidden->text(), "12345");
    EXPECT_EQ(platform::textAtPaint(boxes.hidden), "12345");
}

TEST(TextAtPaint, ATextSetOnTheBoxMeanwhileWins) {
    TwoBoxes boxes;
    platform::setTextAtPaint(boxes.shown, "from the line");
    boxes.shown->setText("typed");
    EXPECT_EQ(platform::textAtPaint(boxes.shown), "typed");
    boxes.paint();
    EXPECT_EQ(boxes.shown->text(), "typed");
}

TEST(TextAtPaint, AWideTextIsShownFromItsBeginningWhenAsked) {
    TwoBoxes boxes;
    boxes.shown->resize(40, boxes.shown->height());
    platform::setTextAtPaint(boxes.shown, "a text far wider than its little box", true);
    boxes.paint();
    EXPECT_EQ(boxes.shown->text(), "a text far wider than its little box");
    EXPECT_EQ(boxes.shown->cursorPosition(), 0);
}

}  // namespace
