#include "terminal/sequences/qt/SequenceWindow.h"

#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "terminal/dashboard/qt/DashboardWindow.h"
#include "terminal/sequences/SequenceFile.h"
#include "terminal/sequences/SequenceReport.h"
#include "terminal/sequences/qt/AskDialog.h"
#include "terminal/sequences/qt/RunReports.h"

namespace terminal::sequences {

namespace {

constexpr int tickMs = 20;

// What the list says of a step, in the words of --run's progress lines: "3. expect level 31:
// failed: expected level 31, seen level 30 (not met)".
std::string stepSummary(const SequenceStep& step, std::size_t index, const StepResult& result) {
    std::string text = std::to_string(index + 1) + ". " +
                       (step.name.empty() ? stepText(step) : step.name + ": " + stepText(step)) +
                       ": " + std::string(verdictName(result.verdict));
    if ((result.verdict == Verdict::failed || result.verdict == Verdict::warning) &&
        !result.expected.empty()) {
        text += ": expected " + result.expected + ", seen " +
                (result.seen.empty() ? std::string("nothing") : result.seen);
    }
    if (!result.note.empty()) {
        text += " (" + result.note + ")";
    }
    return text;
}

// The tick beside a step and the colour under it, as the report page colours its rows.
QString mark(Verdict verdict) {
    switch (verdict) {
        case Verdict::passed:
            return QStringLiteral("\u2714");
        case Verdict::failed:
            return QStringLiteral("\u2718");
        case Verdict::warning:
            return QStringLiteral("\u26a0");
        case Verdict::running:
            return QStringLiteral("\u25b6");
        case Verdict::skipped:
            return QStringLiteral("\u2013");
        case Verdict::notRun:
            break;
    }
    return QStringLiteral("\u2003");
}

QColor shade(Verdict verdict) {
    switch (verdict) {
        case Verdict::passed:
            return {0xd8, 0xf0, 0xd8};
        case Verdict::failed:
            return {0xf6, 0xd0, 0xd0};
        case Verdict::warning:
            return {0xfb, 0xef, 0xc8};
        case Verdict::running:
            return {0xdd, 0xe8, 0xf8};
        default:
            break;
    }
    return {};
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* made = new QPushButton(text, parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setAutoDefault(false);
    return made;
}

}  // namespace

SequenceWindow::SequenceWindow(ui::DashboardWindow& dashboard)
    : QDialog(&dashboard),
      dashboard_(dashboard),
      bench_(dashboard),
      recorder_(
          [this](const std::string& text) { verdict_->setText(QString::fromStdString(text)); }) {
    setObjectName(QStringLiteral("sequenceWindow"));
    setWindowTitle(QStringLiteral("Sequence"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    open_ = button(this, "sequenceOpen", QStringLiteral("&Open…"));
    run_ = button(this, "sequenceRun", QStringLiteral("&Run"));
    pause_ = button(this, "sequencePause", QStringLiteral("&Pause"));
    pause_->setCheckable(true);
    stop_ = button(this, "sequenceStop", QStringLiteral("&Stop"));
    for (QPushButton* each : {open_, run_, pause_, stop_}) {
        top->addWidget(each);
    }
    top->addStretch();
    layout->addLayout(top);
    fileLabel_ = new QLabel(QStringLiteral("No sequence open."), this);
    fileLabel_->setObjectName(QStringLiteral("sequenceFile"));
    fileLabel_->setTextFormat(Qt::PlainText);
    layout->addWidget(fileLabel_);
    steps_ = new QListWidget(this);
    steps_->setObjectName(QStringLiteral("sequenceSteps"));
    steps_->setAccessibleName(QStringLiteral("Steps"));
    steps_->setWordWrap(true);
    layout->addWidget(steps_, 1);
    verdict_ = new QLabel(this);
    verdict_->setObjectName(QStringLiteral("sequenceVerdict"));
    verdict_->setAccessibleName(QStringLiteral("Verdict"));
    verdict_->setTextFormat(Qt::PlainText);
    verdict_->setWordWrap(true);
    verdict_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(verdict_);
    resize(640, 480);

    connect(open_, &QPushButton::clicked, this, [this] { chooseFile(); });
    connect(run_, &QPushButton::clicked, this, [this] { run(); });
    connect(pause_, &QPushButton::toggled, this, [this](bool on) { setPaused(on); });
    connect(stop_, &QPushButton::clicked, this, [this] { stop(); });
    connect(&tick_, &QTimer::timeout, this, [this] { tick(); });
    bench_.onAsk = [this](const std::string& question) { ask(question); };
    dashboard_.core().addObserver(&recorder_);
    showButtons();
}

SequenceWindow::~SequenceWindow() {
    if (running()) {
        stop();
    }
    dashboard_.core().removeObserver(&recorder_);
}

void SequenceWindow::chooseFile() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open a bench sequence"), QString(),
        QStringLiteral("Bench sequences (*.yaml *.yml);;All files (*)"));
    if (!path.isEmpty()) {
        openFile(path.toStdString());
    }
}

std::string SequenceWindow::openFile(const std::filesystem::path& path) {
    if (running()) {
        return "a sequence is running";
    }
    SequenceReading reading = readSequenceFile(path);
    steps_->clear();
    if (!reading.sequence) {
        sequence_.reset();
        fileLabel_->setText(QString::fromStdString(path.string()));
        verdict_->setText(QString::fromStdString(reading.error));
        showButtons();
        return reading.error;
    }
    sequence_ = std::move(reading.sequence);
    file_ = path;
    fileLabel_->setText(QString::fromStdString(
        (sequence_->name.empty() ? std::string() : sequence_->name + " \u2013 ") + path.string()));
    verdict_->setText(QStringLiteral("Ready: %1 steps.").arg(sequence_->steps.size()));
    for (std::size_t i = 0; i < sequence_->steps.size(); ++i) {
        steps_->addItem(QString());
        showStep(i);
    }
    showButtons();
    return {};
}

void SequenceWindow::run() {
    if (running() || !sequence_) {
        return;
    }
    reportFolder_ = defaultReportFolder(file_);
    std::error_code error;
    std::filesystem::create_directories(reportFolder_, error);
    if (error || !std::filesystem::is_directory(reportFolder_)) {
        verdict_->setText(
            QString::fromStdString("Cannot create the report folder " + reportFolder_.string()));
        return;
    }
    started_ = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    startMs_ = QDateTime::currentMSecsSinceEpoch();
    recorder_.startCsv(reportFolder_ / "recording.csv");
    runner_ = std::make_unique<SequenceRunner>(*sequence_, bench_, dashboard_.core().clock());
    runner_->onStepDone = [this](std::size_t index, const StepResult&) { showStep(index); };
    bench_.attach(runner_.get(),
                  file_.parent_path().empty() ? std::filesystem::path(".") : file_.parent_path());
    dashboard_.setHandInputGate([] { return std::string(handRefusedNote); });
    lastOutcome_.reset();
    runner_->start();
    for (std::size_t i = 0; i < sequence_->steps.size(); ++i) {
        showStep(i);
    }
    verdict_->setText(QStringLiteral("Running; waiting for the simulator…"));
    tick_.start(tickMs);
    showButtons();
    tick();
}

void SequenceWindow::setPaused(bool paused) {
    if (pause_->isChecked() != paused) {
        pause_->setChecked(paused);  // comes back here through toggled
        return;
    }
    if (running()) {
        runner_->setPaused(paused);
        verdict_->setText(paused ? QStringLiteral("Paused: the next step waits for Pause again.")
                                 : QStringLiteral("Running."));
    }
}

void SequenceWindow::stop() {
    if (!running()) {
        return;
    }
    runner_->stop("stopped by the operator");
    finish();
}

void SequenceWindow::tick() {
    if (!running()) {
        return;
    }
    const std::size_t before = runner_->currentStep();
    runner_->tick();
    if (runner_->finished()) {
        finish();
        return;
    }
    showStep(before);
    showStep(runner_->currentStep());
    if (!runner_->paused() &&
        runner_->results()[runner_->currentStep()].verdict == Verdict::running) {
        verdict_->setText(QStringLiteral("Running step %1 of %2.")
                              .arg(runner_->currentStep() + 1)
                              .arg(sequence_->steps.size()));
    }
}

void SequenceWindow::finish() {
    tick_.stop();
    bench_.stopProgram();
    if (ask_) {
        ask_->close();
    }
    recorder_.stopCsv();
    dashboard_.setHandInputGate(nullptr);
    RunReport report = reportOf(*runner_, started_);
    report.ended = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    report.file = file_.string();
    report.port = dashboard_.core().shown().port;
    report.exitStatus = exitStatusFor(report.outcome);
    const bool written = writeRunReports(reportFolder_, report, startMs_);
    lastOutcome_ = report.outcome;
    bench_.attach(nullptr, {});
    for (std::size_t i = 0; i < sequence_->steps.size(); ++i) {
        // The last results, taken before the runner goes.
        showStep(i);
    }
    runner_.reset();
    pause_->setChecked(false);
    verdict_->setText(QString::fromStdString(
        "Verdict: " + verdictText(report) +
        (written ? "; report in " + reportFolder_.string()
                 : "; the report could not be written to " + reportFolder_.string())));
    showButtons();
}

void SequenceWindow::showStep(std::size_t index) {
    if (!sequence_ || index >= sequence_->steps.size()) {
        return;
    }
    QListWidgetItem* item = steps_->item(static_cast<int>(index));
    if (item == nullptr) {
        return;
    }
    // Without a run: a file just opened, every step not run yet.
    const StepResult result = runner_ ? runner_->results()[index] : StepResult();
    const QString summary =
        QString::fromStdString(stepSummary(sequence_->steps[index], index, result));
    item->setText(mark(result.verdict) + QLatin1Char(' ') + summary);
    item->setData(Qt::AccessibleTextRole, summary);
    const QColor colour = shade(result.verdict);
    item->setBackground(colour.isValid() ? QBrush(colour) : QBrush());
}

void SequenceWindow::showButtons() {
    open_->setEnabled(!running());
    run_->setEnabled(!running() && sequence_.has_value());
    pause_->setEnabled(running());
    stop_->setEnabled(running());
}

void SequenceWindow::ask(const std::string& question) {
    if (ask_) {
        ask_->close();
    }
    ask_ = new AskDialog(this, question, [this](bool pass, const std::string& note) {
        if (running()) {
            runner_->answered(pass, note);
        }
    });
    // Not modal: Stop stays in reach while the question waits.
    ask_->show();
    ask_->raise();
    ask_->activateWindow();
}

}  // namespace terminal::sequences
