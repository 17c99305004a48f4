// The dashboard on screens from a netbook's to a 4K monitor's, at the scale factors users set:
// on each it fits the screen, nothing covers anything else, every text is whole, lamp captions
// are no smaller than the labels around them and the status bar's text no larger than half as
// much again. One process per screen (ScreenRun.h).

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <algorithm>

#include "DashboardFixture.h"
#include "LayoutChecks.h"
#include "ScreenRun.h"
#include "platform/instruments/qt/CiAnalogDisplayX.h"
#include "platform/instruments/qt/CiLedRectangleX.h"
#include "terminal/dashboard/DashboardState.h"
#include "terminal/dashboard/qt/DashboardScaling.h"
#include "terminal/link/qt/LinkStatusBar.h"

namespace {

TEST(DashboardOnEveryScreen, IsWholeAndLegible) {
    testing_support::expectPassOnEachScreen({{1024, 600, 1.0},
                                             {1366, 768, 1.0},
                                             {1366, 768, 1.5},
                                             {1366, 768, 2.0},
                                             {1920, 1080, 1.0},
                                             {1920, 1080, 2.0},
                                             {3840, 2160, 2.0}},
                                            QStringLiteral("DashboardOnThisScreen.*"));
}

// Run by the test above, once per screen; on its own, on the test platform's screen.
class DashboardOnThisScreen : public DashboardFixture {
protected:
    void SetUp() override {
        if (auto screen = testing_support::requestedScreen()) {
            ASSERT_TRUE(testing_support::onRequestedScreen(*screen));
        }
        start();
        // The longest texts each box shows.
        terminal::DashboardState state = window->core().dashboard();
        state.serialNumber = 4294967295u;
        state.firmwareVersionText = "Not Found Yet!";
        state.canBaudText = "Not Found Yet!";
        state.engineClockText = "65535:59";
        state.vinText = "1M8GDM9AXKP042062*";
        state.engineDm1Text = "1172     0      1     0";
        window->writePanel(state);
        for (const auto& [id, widget] : window->controls().all()) {
            if (qobject_cast<platform::CiAnalogDisplayX*>(widget)) {
                window->setDisplayValue(id, -88888.88);
            }
        }
        window->showLinkState(terminal::LinkState::lost, "COM25", "/dev/ttyUSB0");
        window->show();
    }

    // The window at its present size.
    void expectWhole(const char* when) {
        const QStringList faults = testing_support::layoutFaults(window.get());
        EXPECT_TRUE(faults.isEmpty()) << when << " (scale " << window->scaling().scale() << "):\n"
                                      << faults.join('\n').toStdString();

        // The smallest of the dashboard's labels ("Port:", the trouble-code captions, group
        // captions and buttons all share the window's font).
        qreal smallest = 1e9;
        for (const QWidget* widget : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (qobject_cast<const QLabel*>(widget) || qobject_cast<const QGroupBox*>(widget) ||
                qobject_cast<const QAbstractButton*>(widget)) {
                smallest = std::min(smallest, widget->font().pointSizeF());
            }
        }
        for (auto* lamp : window->findChildren<platform::CiLedRectangleX*>()) {
            EXPECT_GE(lamp->captionFont().pointSizeF(), smallest - 0.01)
                << when << ": lamp " << lamp->objectName().toStdString();
        }
        const auto* label = window->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_NE(label, nullptr);
        EXPECT_LE(QFontMetricsF(window->linkStatusBar().portField()->font()).height(),
                  1.5 * QFontMetricsF(label->font()).height())
            << when;
    }
};

TEST_F(DashboardOnThisScreen, IsWholeAsItOpensAndAtEverySizeItCanTake) {
    const QStringList outside = testing_support::screenFaults(window.get());
    EXPECT_TRUE(outside.isEmpty()) << outside.join('\n').toStdString();
    expectWhole("as it opens");
    const QSize opened = window->size();
    window->resize(window->minimumSize());
    expectWhole("at its smallest");
    // Wider than the layout at its scale: the layout keeps its shape.
    window->resize(opened.width() * 3 / 2, opened.height() * 4 / 5);
    expectWhole("wide and short");
    window->resize(window->scaling().sizeAt(2.0));
    expectWhole("at twice its natural size");
}

}  // namespace
