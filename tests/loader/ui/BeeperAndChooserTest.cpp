// The end-of-run tone and the file dialog's filters.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdlib>
#include <utility>

#include "loader/ui/Beeper.h"
#include "loader/ui/QtFileChooser.h"

using loader::ui::Beeper;

TEST(Beeper, ToneHasThePitchAndLengthAskedForAndStartsAndEndsSilent) {
    const int rate = 48000;
    QByteArray tone = Beeper::sineTone(4500, 1000, rate, 2);
    ASSERT_EQ(tone.size(), rate * 2 * 2);
    const auto* samples = reinterpret_cast<const qint16*>(tone.constData());
    const int frames = rate;
    int crossings = 0;
    int peak = 0;
    for (int i = 1; i < frames; ++i) {
        qint16 left = samples[2 * i];
        EXPECT_EQ(left, samples[2 * i + 1]) << "both channels carry the tone";
        if ((samples[2 * (i - 1)] < 0) != (left < 0)) {
            ++crossings;
        }
        peak = std::max(peak, std::abs(int(left)));
    }
    EXPECT_NEAR(crossings, 2 * 4500, 4);
    EXPECT_GT(peak, 12000);
    EXPECT_LT(std::abs(int(samples[0])), 100);
    EXPECT_LT(std::abs(int(samples[2 * (frames - 1)])), 200);
}

TEST(Beeper, ABeepAlwaysReportsThatItFinishedEvenWithoutSound) {
    Beeper beeper;
    bool finished = false;
    QObject::connect(&beeper, &Beeper::finished, [&] { finished = true; });
    beeper.beep(4500, 50);
    QElapsedTimer waited;
    waited.start();
    while (!finished && waited.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_TRUE(finished);
    EXPECT_FALSE(beeper.isPlaying());
}

TEST(QtFileChooser, FilterPairsBecomeQtFiltersWithAllFilesMatchingEveryName) {
    auto filters = loader::ui::QtFileChooser::qtFilters(
        "Vlf Files (*.Vlf)|*.Vlf|Hex Files (*.hex)|*.hex|All Files (*.*)|*.*||");
    EXPECT_EQ(filters, QStringList({"Vlf Files (*.Vlf)", "Hex Files (*.hex)", "All Files (*)"}));
}

TEST(Beeper, WithoutASoundServerTheBellRingsAndNoAudioErrorIsPrinted) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray server = qgetenv("PULSE_SERVER");
    const QByteArray pulseRuntime = qgetenv("PULSE_RUNTIME_PATH");
    // A runtime folder without a sound server's socket in it.
    qputenv("XDG_RUNTIME_DIR", TESTS_SOURCE_DIR "/loader/ui");
    qunsetenv("PULSE_SERVER");
    qunsetenv("PULSE_RUNTIME_PATH");
    Beeper beeper;
    bool finished = false;
    QObject::connect(&beeper, &Beeper::finished, [&] { finished = true; });
    testing::internal::CaptureStderr();
    beeper.beep(4500, 50);
    QElapsedTimer waited;
    waited.start();
    while (!finished && waited.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    const std::string printed = testing::internal::GetCapturedStderr();
    for (const auto& [name, value] :
         {std::pair{"XDG_RUNTIME_DIR", runtime}, std::pair{"PULSE_SERVER", server},
          std::pair{"PULSE_RUNTIME_PATH", pulseRuntime}}) {
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    }
    EXPECT_TRUE(finished);
    EXPECT_EQ(printed, "");
}
