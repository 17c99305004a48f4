#pragma once
// A run step's outside command, through /bin/sh in the sequence file's folder: started without
// waiting for it (the program's one thread never blocks on it), its output kept up to 64 KiB,
// its end told once (-1 when it did not start or ended abnormally). stop() kills it; its end
// is then not told, and it is reaped once gone.

#include <QByteArray>
#include <QObject>
#include <filesystem>
#include <functional>
#include <string>

class QProcess;

namespace terminal::sequences {

class StepProcess : public QObject {
public:
    using Finished = std::function<void(int exitCode, const std::string& output)>;

    StepProcess(QObject* parent, Finished finished);
    ~StepProcess() override;

    void start(const std::filesystem::path& folder, const std::string& command);
    void stop();

private:
    Finished finished_;
    QProcess* process_ = nullptr;
    QByteArray output_;
};

}  // namespace terminal::sequences
