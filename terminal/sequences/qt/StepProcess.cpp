#include "terminal/sequences/qt/StepProcess.h"

#include <QProcess>

namespace terminal::sequences {

namespace {

// What a run step's command may leave in the report.
constexpr qint64 mostOutput = 64 * 1024;

}  // namespace

StepProcess::StepProcess(QObject* parent, Finished finished)
    : QObject(parent), finished_(std::move(finished)) {}

StepProcess::~StepProcess() {
    stop();
}

void StepProcess::start(const std::filesystem::path& folder, const std::string& command) {
    stop();
    process_ = new QProcess(this);
    process_->setWorkingDirectory(QString::fromStdString(folder.string()));
    process_->setProcessChannelMode(QProcess::MergedChannels);
    QProcess* process = process_;
    connect(process, &QProcess::readyRead, this, [this, process] {
        const QByteArray bytes = process->readAll();
        if (process == process_ && output_.size() < mostOutput) {
            output_ += bytes.left(mostOutput - output_.size());
        }
    });
    connect(process, &QProcess::finished, this,
            [this, process](int code, QProcess::ExitStatus status) {
                if (process != process_) {
                    return;
                }
                output_ += process->readAll().left(mostOutput - output_.size());
                finished_(status == QProcess::NormalExit ? code : -1, output_.toStdString());
            });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (process == process_ && error == QProcess::FailedToStart) {
            finished_(-1, process->errorString().toStdString());
        }
    });
    output_.clear();
    process_->start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"), QString::fromStdString(command)});
}

void StepProcess::stop() {
    if (process_ == nullptr) {
        return;
    }
    QProcess* process = process_;
    process_ = nullptr;
    process->disconnect(this);
    if (process->state() != QProcess::NotRunning) {
        // Reaped when it is gone; the program's thread never waits for it. Freed from its
        // parent so that it outlives this object if need be.
        process->setParent(nullptr);
        connect(process, &QProcess::finished, process, &QObject::deleteLater);
        process->kill();
    } else {
        process->deleteLater();
    }
}

}  // namespace terminal::sequences
