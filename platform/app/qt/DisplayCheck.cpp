#include "platform/app/qt/DisplayCheck.h"

#include "platform/app/qt/PopupEscape.h"

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

// The platform list Qt chooses from, as QGuiApplication reads it; empty for its default.
QByteArray chosenPlatforms(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        QByteArray argument(argv[i]);
        if (argument.startsWith("--")) {
            argument.remove(0, 1);
        }
        if (argument == "-platform") {
            return argv[i + 1];
        }
    }
    return qgetenv("QT_QPA_PLATFORM");
}

bool reachable(const QByteArray& entry) {
    // "xcb:option", "vnc:size=800x600": the plug-in's name comes first.
    const QByteArray name = entry.split(':').constFirst().trimmed();
    if (name == "xcb") {
        return !qEnvironmentVariableIsEmpty("DISPLAY");
    }
    if (name.startsWith("wayland")) {
        return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
               qgetenv("XDG_SESSION_TYPE") == "wayland";
    }
    return !name.isEmpty();
}

QtMessageHandler previousHandler = nullptr;

void fatalEndsWithStatusOne(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (type != QtFatalMsg && previousHandler != nullptr) {
        previousHandler(type, context, message);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    std::fflush(stderr);
    if (type == QtFatalMsg) {
        std::_Exit(1);
    }
}

}  // namespace

bool displayConfigured(int argc, char** argv) {
    QByteArray platforms = chosenPlatforms(argc, argv);
    if (platforms.isEmpty()) {
        // The desktop's own: xcb, or wayland where the session is one.
        platforms = "xcb;wayland";
    }
    for (const QByteArray& entry : platforms.split(';')) {
        if (reachable(entry)) {
            return true;
        }
    }
    return false;
}

PlatformStartGuard::PlatformStartGuard() {
    previousHandler = qInstallMessageHandler(fatalEndsWithStatusOne);
}

PlatformStartGuard::~PlatformStartGuard() {
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
}

std::unique_ptr<QApplication> windowApplication(int& argc, char** argv, const char* noDisplay) {
    if (!displayConfigured(argc, argv)) {
        std::fputs(noDisplay, stderr);
        return nullptr;
    }
    // A display that is set but cannot be reached still fails in the plug-in: status 1.
    const PlatformStartGuard guard;
    auto app = std::make_unique<QApplication>(argc, argv);
    PopupEscape::install(*app);
    return app;
}

}  // namespace platform
