#include "terminal/sequences/qt/SequenceProgram.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>

#include "platform/app/qt/CommandLine.h"
#include "platform/app/qt/ExitSignals.h"
#include "platform/clock/Clock.h"
#include "platform/serial/qt/CMSComm.h"
#include "terminal/recording/SessionRecorder.h"
#include "terminal/scripting/HeadlessHost.h"
#include "terminal/scripting/HeadlessSession.h"
#include "terminal/sequences/EventMessage.h"
#include "terminal/sequences/SequenceFile.h"
#include "terminal/sequences/SequenceReport.h"
#include "terminal/sequences/SequenceRunner.h"
#include "terminal/sequences/qt/RunReports.h"
#include "terminal/sequences/qt/StepProcess.h"

namespace terminal::sequences {

namespace {

const QString runName = QStringLiteral("run");
const QString reportName = QStringLiteral("report");
const QString answersName = QStringLiteral("answers");
const QString portName = QStringLiteral("port");

constexpr int tickMs = 20;

void say(const std::string& line) {
    std::fputs(("Tessaly: " + line + "\n").c_str(), stderr);
    std::fflush(stderr);
}

void usageError(const QString& text) {
    say(text.toStdString() + "\nTry 'Tessaly --help' for more information.");
}

// The headless session with a sequence steering it: the session's host, and the runner's
// bench over the same session's command path.
class SequenceBenchProgram : public QObject,
                             public headless::HeadlessHost,
                             public SequenceBench,
                             private SessionObserver {
public:
    SequenceBenchProgram(const SettingsPlace& settings, const Sequence& sequence, std::string file,
                         std::filesystem::path reportFolder, RunnerOptions options)
        : session_(*this, comm_, platform::SystemClock::instance(), settings.file,
                   settings.formerFile),
          runner_(sequence, *this, platform::SystemClock::instance(), options),
          file_(std::move(file)),
          folder_(std::filesystem::path(file_).parent_path().empty()
                      ? std::filesystem::path(".")
                      : std::filesystem::path(file_).parent_path()),
          reportFolder_(std::move(reportFolder)) {
        session_.core().addObserver(&recorder_);
        session_.core().addObserver(this);
        comm_.setOnComm([this] { session_.onReceive(); });
        comm_.setUnhandledErrorReporter(
            [this](const std::string& text) { session_.reportError(text); });
        runner_.onStepDone = [this](std::size_t index, const StepResult& result) {
            stepDone(index, result);
        };
        connect(&tick_, &QTimer::timeout, this, [this] { tick(); });
    }

    ~SequenceBenchProgram() override {
        comm_.setOnComm(nullptr);
        session_.core().removeObserver(this);
        session_.core().removeObserver(&recorder_);
    }

    void start(const std::string& port) {
        port_ = port;
        started_ = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
        startMs_ = QDateTime::currentMSecsSinceEpoch();
        recorder_.startCsv(reportFolder_ / "recording.csv");
        session_.start(port);
        runner_.start();
        tick_.start(tickMs);
    }

    [[noreturn]] void endBySignal(int signal) {
        runner_.stop("stopped by signal " + std::to_string(signal));
        exitStatus_ = exitStatusFor(runner_.outcome(), signal);
        writeReports();
        session_.quit();
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
        if (auto found = timers_.find(id); found != timers_.end()) {
            found->second->stop();
        }
    }
    void endSession() override {
        tick_.stop();
        QCoreApplication::exit(exitStatus_);
    }
    // The event stream has no reader here; the report tells what matters.
    void emitLine(const std::string& /*line*/) override {}
    void answer(const std::string& line) override {
        if (capturing_ && isErrorEvent(line)) {
            refusal_ = eventMessage(line);
        }
    }

    // SequenceBench.
    std::string command(const std::string& line) override {
        capturing_ = true;
        refusal_.clear();
        session_.onInputLine(line);
        capturing_ = false;
        return refusal_;
    }
    LinkState linkState() override { return session_.core().linkState(); }
    const VehicleSnapshot& shown() override { return session_.core().shown(); }
    const DashboardState& panel() override { return session_.core().dashboard(); }
    void startProgram(const std::string& command) override { process_.start(folder_, command); }
    void stopProgram() override { process_.stop(); }
    bool askOperator(const std::string& /*question*/) override { return false; }

private:
    void acknowledged(Acknowledgement which) override { runner_.acknowledged(which); }
    void statusShown(const VehicleSnapshot& /*shown*/, const DashboardState& /*panel*/) override {
        runner_.statusShown();
    }

    void tick() {
        runner_.tick();
        if (!runner_.finished() || ending_) {
            return;
        }
        ending_ = true;
        exitStatus_ = exitStatusFor(runner_.outcome());
        writeReports();
        session_.quit();
    }

    void stepDone(std::size_t index, const StepResult& result) {
        const SequenceStep& step = runner_.sequence().steps[index];
        std::string line = "step " + std::to_string(index + 1) + "/" +
                           std::to_string(runner_.sequence().steps.size()) + " (line " +
                           std::to_string(step.line) + ") " + stepText(step) + ": " +
                           std::string(verdictName(result.verdict));
        if (result.verdict == Verdict::failed || result.verdict == Verdict::warning) {
            if (!result.expected.empty()) {
                line += ": expected " + result.expected + ", seen " + result.seen;
            }
        }
        if (!result.note.empty()) {
            line += " (" + result.note + ")";
        }
        say(line);
    }

    void writeReports() {
        stopProgram();
        recorder_.stopCsv();
        RunReport report = reportOf(runner_, started_);
        report.ended = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
        report.file = file_;
        report.port = port_.empty() ? session_.core().shown().port : port_;
        report.exitStatus = exitStatus_;
        const bool written = writeRunReports(reportFolder_, report, startMs_);
        say(report.sequence->name + ": " + verdictText(report) +
            (written ? "; report in " + reportFolder_.string()
                     : "; the report could not be written to " + reportFolder_.string()));
    }

    platform::CMSComm comm_;
    headless::HeadlessSession session_;
    SessionRecorder recorder_{[](const std::string& text) { say(text); }};
    SequenceRunner runner_;
    std::string file_;
    std::string port_;
    std::filesystem::path folder_;
    std::filesystem::path reportFolder_;
    std::map<int, QTimer*> timers_;
    QTimer tick_;
    StepProcess process_{this, [this](int code, const std::string& output) {
                             runner_.programFinished(code, output);
                         }};
    std::string started_;
    std::int64_t startMs_ = 0;
    std::string refusal_;
    bool capturing_ = false;
    bool ending_ = false;
    int exitStatus_ = 0;
};

// --report, else a folder beside the file named after it and the start time.
std::filesystem::path reportFolderFor(const platform::CommandLine& options,
                                      const std::filesystem::path& file) {
    if (options.isSet(reportName)) {
        return options.value(reportName).toStdString();
    }
    return defaultReportFolder(file);
}

}  // namespace

void addSequenceOptions(platform::CommandLine& options) {
    options.addOption(QCommandLineOption(
        runName,
        QStringLiteral("run the bench sequence FILE.yaml without a window; exit 0 when every "
                       "check passed, 1 when one failed, 2 for a refused file, 3 when the "
                       "device was not identified or was lost (see the manual)"),
        QStringLiteral("FILE.yaml")));
    options.addOption(QCommandLineOption(
        reportName,
        QStringLiteral("with --run: write junit.xml, report.json, report.txt, report.html and "
                       "recording.csv "
                       "into DIR (default: beside the file, named after it and the start time)"),
        QStringLiteral("DIR")));
    options.addOption(QCommandLineOption(
        answersName, QStringLiteral("with --run: answer every ask step pass or fail"),
        QStringLiteral("pass|fail")));
}

bool runRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--run") == 0 || std::strncmp(argv[i], "--run=", 6) == 0) {
            return true;
        }
    }
    return false;
}

bool checkWindowOptions(const platform::CommandLine& options) {
    for (const QString& name : {reportName, answersName}) {
        if (options.isSet(name)) {
            usageError("--" + name + " needs --run");
            return false;
        }
    }
    return true;
}

int runSequence(int argc, char** argv, platform::CommandLine& options,
                const std::function<SettingsPlace()>& settingsPlace) {
    // The report's trends are drawn by a widget, in memory: no display is asked for.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessaly"));
    if (!options.parse(QCoreApplication::arguments())) {
        return platform::CommandLine::usageErrorStatus;
    }
    if (options.isSet(QStringLiteral("headless")) || options.isSet(QStringLiteral("listen"))) {
        usageError(QStringLiteral("--run takes the place of --headless and --listen"));
        return platform::CommandLine::usageErrorStatus;
    }
    RunnerOptions runnerOptions;
    if (options.isSet(answersName)) {
        const QString answers = options.value(answersName);
        if (answers != "pass" && answers != "fail") {
            usageError("--answers takes pass or fail, not '" + answers + "'");
            return platform::CommandLine::usageErrorStatus;
        }
        runnerOptions.answers = answers == "pass";
    }
    std::string port = options.value(portName).toStdString();
    if (options.isSet(portName) && !headless::isPortChoice(port)) {
        usageError("--port takes COM1 to COM40 or an absolute device path, not '" +
                   options.value(portName) + "'");
        return platform::CommandLine::usageErrorStatus;
    }
    const std::filesystem::path file = options.value(runName).toStdString();
    const SequenceReading reading = readSequenceFile(file);
    if (!reading.sequence) {
        say(reading.error);
        return platform::CommandLine::usageErrorStatus;
    }
    if (port.empty()) {
        port = reading.sequence->port;
    }
    const std::filesystem::path reportFolder = reportFolderFor(options, file);
    std::error_code error;
    std::filesystem::create_directories(reportFolder, error);
    if (error || !std::filesystem::is_directory(reportFolder)) {
        say("--report: cannot create the folder " + reportFolder.string());
        return platform::CommandLine::usageErrorStatus;
    }
    std::signal(SIGPIPE, SIG_IGN);

    SequenceBenchProgram program(settingsPlace(), *reading.sequence, file.string(), reportFolder,
                                 runnerOptions);
    platform::ExitSignals::install([&program](int signal) { program.endBySignal(signal); });
    QTimer::singleShot(0, &program, [&program, port] { program.start(port); });
    return QCoreApplication::exec();
}

}  // namespace terminal::sequences
