#include "terminal/scripting/qt/HeadlessProgram.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <array>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "platform/app/qt/CommandLine.h"
#include "platform/app/qt/ExitSignals.h"
#include "platform/clock/Clock.h"
#include "platform/serial/qt/CMSComm.h"
#include "terminal/recording/SessionRecorder.h"
#include "terminal/scripting/HeadlessEvents.h"
#include "terminal/scripting/HeadlessHost.h"
#include "terminal/scripting/HeadlessSession.h"
#include "terminal/scripting/InputLines.h"
#include "terminal/scripting/qt/ScriptSocket.h"

namespace terminal::headless {

namespace {

const QString headlessName = QStringLiteral("headless");
const QString portName = QStringLiteral("port");
const QString statusRateName = QStringLiteral("status-rate");
const QString listenName = QStringLiteral("listen");

constexpr double defaultStatusRate = 5;
constexpr double highestStatusRate = 100;

// Status events per second: a number from 0 to highestStatusRate.
std::optional<double> statusRateOf(const QString& text) {
    bool ok = false;
    const double rate = text.toDouble(&ok);
    if (!ok || !std::isfinite(rate) || rate < 0 || rate > highestStatusRate) {
        return std::nullopt;
    }
    return rate;
}

void usageError(const QString& text) {
    const QByteArray message =
        ("Tessaly: " + text + "\nTry 'Tessaly --help' for more information.\n").toLocal8Bit();
    std::fputs(message.constData(), stderr);
    std::fflush(stderr);
}

class HeadlessProgram : public QObject, public HeadlessHost {
public:
    HeadlessProgram(const SettingsPlace& settings, double statusRate)
        : session_(*this, comm_, platform::SystemClock::instance(), settings.file,
                   settings.formerFile),
          statusRate_(statusRate),
          scripts_([this](const std::string& line) { session_.onInputLine(line); },
                   [this] {
                       const TerminalCore& core = session_.core();
                       return linkEvents(core.linkState(), core.shown().port, core.shown().device,
                                         core.dashboard());
                   }) {
        session_.core().addObserver(&recorder_);
        comm_.setOnComm([this] { session_.onReceive(); });
        // Nothing may open a message box: there is no screen to show it on.
        comm_.setUnhandledErrorReporter(
            [this](const std::string& text) { session_.reportError(text); });
        connect(&statusTimer_, &QTimer::timeout, this, [this] { session_.emitNewStatus(); });
    }

    ~HeadlessProgram() override {
        comm_.setOnComm(nullptr);
        session_.core().removeObserver(&recorder_);
    }

    // --record and --record-lines: a file that cannot be written is an error event, and the
    // session goes on without it.
    void record(const QString& csvPath, const QString& linesPath) {
        if (!csvPath.isEmpty()) {
            recorder_.startCsv(csvPath.toStdString());
        }
        if (!linesPath.isEmpty()) {
            recorder_.startLines(linesPath.toStdString());
        }
    }

    void start(const std::string& port) {
        session_.start(port);
        if (statusRate_ > 0) {
            statusTimer_.start(std::max(1, static_cast<int>(std::lround(1000.0 / statusRate_))));
        }
        watchInput();
    }

    // --listen: scripts on a socket besides standard input. Empty, or why not.
    std::string listen(const std::string& path) {
        listening_ = true;
        return scripts_.listen(path);
    }

    // SIGINT, SIGTERM, SIGHUP: the port closed as quit closes it, then the signal's status.
    [[noreturn]] void endBySignal(int signal) {
        session_.quit();
        scripts_.remove();
        platform::ExitSignals::exitNow(signal);
    }

    // HeadlessHost.
    void startTimer(int id, int periodMs) override {
        QTimer*& timer = timers_[id];
        if (timer == nullptr) {
            timer = new QTimer(this);
            connect(timer, &QTimer::timeout, this, [this, id] { session_.onTimer(id); });
        }
        timer->start(periodMs);
    }

    void stopTimer(int id) override {
        auto found = timers_.find(id);
        if (found != timers_.end()) {
            found->second->stop();
        }
    }

    void endSession() override {
        statusTimer_.stop();
        if (input_ != nullptr) {
            input_->setEnabled(false);
        }
        QCoreApplication::exit(0);
    }

    void emitLine(const std::string& line) override {
        scripts_.broadcast(line);
        writeOut(line);
    }

    // Answers and acks of the scripts' commands go to them; those of standard input's here.
    void answer(const std::string& line) override {
        if (!scripts_.answer(line)) {
            writeOut(line);
        }
    }
    void commandSent(Acknowledgement which) override { scripts_.commandSent(which); }
    void emitAck(Acknowledgement which, const std::string& line) override {
        if (!scripts_.ack(which, line)) {
            writeOut(line);
        }
    }

private:
    void writeOut(const std::string& line) {
        if (outputClosed_) {
            return;
        }
        const bool written = std::fwrite(line.data(), 1, line.size(), stdout) == line.size() &&
                             std::fputc('\n', stdout) != EOF && std::fflush(stdout) == 0;
        if (!written) {
            // Nobody reads the events any more: end as quit, from the event loop; unless
            // scripts may still come to the socket.
            outputClosed_ = true;
            if (!listening_) {
                QTimer::singleShot(0, this, [this] { session_.quit(); });
            }
        }
    }

    void watchInput() {
        if (::fcntl(STDIN_FILENO, F_GETFD) < 0) {
            // No standard input at all: its end has come already.
            QTimer::singleShot(0, this, [this] { endOfInput(); });
            return;
        }
        input_ = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
        connect(input_, &QSocketNotifier::activated, this, [this] { readInput(); });
    }

    void readInput() {
        // The event loop serves standard input and the port in no order of their own: the
        // lines that arrived before these commands are taken first, so a quit leaves nothing
        // out of the recording that had already come.
        comm_.takeWaitingInput();
        std::array<char, 4096> buffer{};
        const ssize_t count = ::read(STDIN_FILENO, buffer.data(), buffer.size());
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
            return;
        }
        if (count <= 0) {
            endOfInput();
            return;
        }
        lines_.feed(std::string_view(buffer.data(), static_cast<std::size_t>(count)),
                    [this](const InputLines::Line& line) { takeLine(line); });
    }

    void takeLine(const InputLines::Line& line) {
        if (line.tooLong) {
            session_.reportError("line too long: more than " +
                                 std::to_string(InputLines::longestLine) + " characters, dropped");
            return;
        }
        session_.onInputLine(line.text);
    }

    void endOfInput() {
        if (input_ != nullptr) {
            input_->setEnabled(false);
        }
        lines_.finish([this](const InputLines::Line& line) { takeLine(line); });
        // With a socket, the session runs on for its scripts until quit or a signal.
        if (!listening_) {
            session_.quit();
        }
    }

    platform::CMSComm comm_;
    HeadlessSession session_;
    SessionRecorder recorder_{[this](const std::string& text) { session_.reportError(text); }};
    double statusRate_;
    QTimer statusTimer_;
    std::map<int, QTimer*> timers_;
    QSocketNotifier* input_ = nullptr;
    InputLines lines_;
    bool outputClosed_ = false;
    bool listening_ = false;
    // Last: it goes first, removing the socket before the session does.
    ScriptSocket scripts_;
};

}  // namespace

void addHeadlessOptions(platform::CommandLine& options) {
    options.addOption(QCommandLineOption(
        headlessName, QStringLiteral("run without a window: JSON Lines events on standard "
                                     "output, commands on standard input (see the manual)")));
    options.addOption(QCommandLineOption(
        portName,
        QStringLiteral("with --headless or --run: use COMn (COM1 to COM40, remembered like the "
                       "port box's choice) or the device at an absolute path (for this run only)"),
        QStringLiteral("PORT")));
    options.addOption(QCommandLineOption(
        statusRateName,
        QStringLiteral("with --headless or --listen: status events per second, 0 to 100 "
                       "(default 5; 0: only on snapshot)"),
        QStringLiteral("HZ")));
    options.addOption(QCommandLineOption(
        listenName,
        QStringLiteral("let scripts drive the session through a socket at PATH, with the "
                       "headless commands and events (default "
                       "$XDG_RUNTIME_DIR/tessaly/COMn.sock; see the manual)"),
        QStringLiteral("PATH")));
}

QStringList withListenDefault(QStringList arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--" + listenName &&
            (i + 1 == arguments.size() || arguments[i + 1].startsWith('-'))) {
            arguments[i] += '=';
        }
    }
    return arguments;
}

std::optional<std::string> listenPath(const platform::CommandLine& options,
                                      const std::string& port) {
    if (!options.isSet(listenName)) {
        return std::nullopt;
    }
    const QString path = options.value(listenName);
    if (!path.isEmpty()) {
        return path.toStdString();
    }
    return defaultSocketPath(qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString(), port);
}

std::optional<double> statusRateOption(const platform::CommandLine& options) {
    if (!options.isSet(statusRateName)) {
        return defaultStatusRate;
    }
    const std::optional<double> rate = statusRateOf(options.value(statusRateName));
    if (!rate) {
        usageError("--status-rate takes a number of events per second from 0 to 100, not '" +
                   options.value(statusRateName) + "'");
    }
    return rate;
}

int listenFailed(const std::string& reason) {
    const std::string line = "Tessaly: --listen: " + reason + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    return platform::CommandLine::usageErrorStatus;
}

bool headlessRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0) {
            return true;
        }
    }
    return false;
}

bool checkWindowOptions(const platform::CommandLine& options) {
    if (options.isSet(portName)) {
        usageError("--" + portName + " needs --headless");
        return false;
    }
    if (options.isSet(statusRateName) && !options.isSet(listenName)) {
        usageError("--" + statusRateName + " needs --headless or --listen");
        return false;
    }
    return true;
}

int runHeadless(int argc, char** argv, platform::CommandLine& options,
                const std::function<SettingsPlace()>& settingsPlace) {
    // No window, no display, no platform plug-in: a core application only.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessaly"));
    if (!options.parse(withListenDefault(QCoreApplication::arguments()))) {
        return platform::CommandLine::usageErrorStatus;
    }
    const std::string port = options.value(portName).toStdString();
    if (options.isSet(portName) && !isPortChoice(port)) {
        usageError("--port takes COM1 to COM40 or an absolute device path, not '" +
                   options.value(portName) + "'");
        return platform::CommandLine::usageErrorStatus;
    }
    const std::optional<double> statusRate = statusRateOption(options);
    if (!statusRate) {
        return platform::CommandLine::usageErrorStatus;
    }
    // A reader that went away is noticed by the failed write, not by a fatal signal.
    std::signal(SIGPIPE, SIG_IGN);

    const SettingsPlace settings = settingsPlace();
    HeadlessProgram program(settings, *statusRate);
    const std::optional<std::string> socketPath = listenPath(
        options,
        port.empty() ? SettingsFile(settings.file, settings.formerFile).read().portName : port);
    if (socketPath) {
        if (const std::string failure = program.listen(*socketPath); !failure.empty()) {
            return listenFailed(failure);
        }
    }
    program.record(options.value(QStringLiteral("record")),
                   options.value(QStringLiteral("record-lines")));
    platform::ExitSignals::install([&program](int signal) { program.endBySignal(signal); });
    QTimer::singleShot(0, &program, [&program, port] { program.start(port); });
    return QCoreApplication::exec();
}

}  // namespace terminal::headless
