// The loader window at the scale factors users set on small and large screens: it fits the
// screen, nothing covers anything else and every label is whole. One process per screen
// (ScreenRun.h).

#include <gtest/gtest.h>

#include "LayoutChecks.h"
#include "ScreenRun.h"
#include "WindowFixture.h"

namespace {

TEST(LoaderOnEveryScreen, ShowsEveryLabelWhole) {
    testing_support::expectPassOnEachScreen(
        {{1366, 768, 1.5}, {1366, 768, 2.0}, {1920, 1080, 2.0}, {3840, 2160, 2.0}},
        QStringLiteral("LoaderOnThisScreen.*"));
}

// Run by the test above, once per screen; on its own, on the test platform's screen.
using LoaderOnThisScreen = testing_support::LoaderWindowTest;

TEST_F(LoaderOnThisScreen, FitsAndShowsEveryLabelWhole) {
    if (auto screen = testing_support::requestedScreen()) {
        ASSERT_TRUE(testing_support::onRequestedScreen(*screen));
    }
    window.show();
    QStringList faults = testing_support::screenFaults(&window);
    faults << testing_support::layoutFaults(&window);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

}  // namespace
