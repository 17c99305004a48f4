// The measuring aid of scripts/bench: silent unless asked for, then one line for the first
// painted window and one per new slider position painted.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>

#include "platform/app/qt/MeasurementProbe.h"
#include "platform/instruments/qt/CiSliderX.h"

namespace {

QStringList probeLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

TEST(MeasurementProbe, LogsTheFirstPaintAndEachNewSliderPositionPainted) {
    QTemporaryDir dir;
    const QString path = dir.filePath("probe.log");
    std::FILE* log = std::fopen(path.toLocal8Bit().constData(), "a");
    ASSERT_NE(nullptr, log);
    auto* probe = new platform::MeasurementProbe(log);
    qApp->installEventFilter(probe);

    platform::CiSliderX slider;
    slider.resize(300, 60);
    slider.setPosition(40);
    slider.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&slider));
    slider.repaint();
    slider.repaint();  // the same position again: no new line
    slider.setPosition(41);
    slider.repaint();
    delete probe;

    const QStringList lines = probeLines(path);
    ASSERT_EQ(3, lines.size()) << lines.join('|').toStdString();
    EXPECT_EQ(1, lines.filter(QRegularExpression("^painted \\d+$")).size());
    EXPECT_EQ(1, lines.filter(QRegularExpression("^slider 40 \\d+$")).size());
    EXPECT_EQ(1, lines.filter(QRegularExpression("^slider 41 \\d+$")).size());
}

TEST(MeasurementProbe, StaysOffWithoutTheEnvironmentVariable) {
    unsetenv("TESSALY_PROBE");
    const int filtersBefore = qApp->findChildren<platform::MeasurementProbe*>().size();
    platform::MeasurementProbe::installFromEnvironment(*qApp);
    EXPECT_EQ(filtersBefore, qApp->findChildren<platform::MeasurementProbe*>().size());
}

}  // namespace
