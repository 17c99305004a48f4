#pragma once
// A window on screens of several sizes and scale factors. The offscreen platform takes its
// screen from a file and its scale from QT_SCALE_FACTOR when the application starts, so each
// screen needs a process of its own: the test binary runs itself again for the tests of one
// filter, once per screen, and those tests read the screen they were meant for.

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QString>
#include <QTemporaryDir>
#include <initializer_list>
#include <optional>

#include <gtest/gtest.h>

namespace testing_support {

struct TestScreen {
    int width;  // device pixels
    int height;
    double scale;  // QT_SCALE_FACTOR

    QString name() const {
        return QStringLiteral("%1x%2 at %3 %").arg(width).arg(height).arg(qRound(scale * 100));
    }
};

inline const char* const screenVariable = "TESSALY_TEST_SCREEN";

// Runs this binary's tests matching `filter` on `screen`; their exit status, and what they
// printed in `output`.
inline int runOnScreen(const TestScreen& screen, const QString& filter, QString& output) {
    QTemporaryDir folder;
    QFile config(folder.filePath(QStringLiteral("screen.json")));
    if (!config.open(QIODevice::WriteOnly)) {
        output = QStringLiteral("cannot write ") + config.fileName();
        return -1;
    }
    config.write(QStringLiteral(R"({"screens": [{"name": "test", "x": 0, "y": 0,
        "width": %1, "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                     .arg(screen.width)
                     .arg(screen.height)
                     .toUtf8());
    config.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                       QStringLiteral("offscreen:configfile=") + config.fileName());
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(screen.scale));
    environment.insert(
        QString::fromLatin1(screenVariable),
        QStringLiteral("%1 %2 %3").arg(screen.width).arg(screen.height).arg(screen.scale));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.path());
    environment.insert(QStringLiteral("COMPORTS_DIR"), folder.path());
    QProcess run;
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_filter=") + filter});
    if (!run.waitForFinished(120000)) {
        run.kill();
        run.waitForFinished();
        output = QString::fromLocal8Bit(run.readAll()) + QStringLiteral("\n(timed out)");
        return -1;
    }
    output = QString::fromLocal8Bit(run.readAll());
    return run.exitStatus() == QProcess::NormalExit ? run.exitCode() : -1;
}

// Runs the tests matching `filter` on each of `screens`; a failure names the screen and shows
// what the run printed.
inline void expectPassOnEachScreen(std::initializer_list<TestScreen> screens,
                                   const QString& filter) {
    for (const TestScreen& screen : screens) {
        QString output;
        const int status = runOnScreen(screen, filter, output);
        EXPECT_EQ(status, 0) << screen.name().toStdString() << "\n" << output.toStdString();
    }
}

// In a run started by runOnScreen: the screen it was started for.
inline std::optional<TestScreen> requestedScreen() {
    const QStringList parts =
        QString::fromLocal8Bit(qgetenv(screenVariable)).split(QLatin1Char(' '));
    if (parts.size() != 3) {
        return std::nullopt;
    }
    return TestScreen{parts[0].toInt(), parts[1].toInt(), parts[2].toDouble()};
}

// Whether the application really is on the screen it was started for: its primary screen in
// logical pixels is the screen's size divided by the scale.
inline bool onRequestedScreen(const TestScreen& screen) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary != nullptr &&
           primary->geometry().size() ==
               QSize(qRound(screen.width / screen.scale), qRound(screen.height / screen.scale)) &&
           qFuzzyCompare(primary->devicePixelRatio(), screen.scale);
}

}  // namespace testing_support
