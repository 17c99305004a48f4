#pragma once
// One board of a run over several ports: its own serial control, image (with its own session
// values), BootLink and 100 ms timer, all driven from the program's one event loop, so a board
// that stalls or vanishes holds none of the others up. It walks Connect and Program by itself
// and ends programmed, or failed with the reason.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

#include "loader/core/BootLink.h"
#include "loader/core/FirmwareImage.h"
#include "loader/core/LoaderObserver.h"
#include "loader/core/RunWatch.h"

namespace platform {
class CMSComm;
}

namespace loader::cli {

class BoardRun : public QObject, public loader::LoaderObserver {
    Q_OBJECT

public:
    enum class Result { running, programmed, failed };

    struct Settings {
        QString speed = QStringLiteral("115200");
        double stallSeconds = 10;
        // A damaged Intel HEX file fails the board before its start byte; false sends it.
        bool hexCheck = true;
    };

    // `port` is COMn or a device path; `salt` sets this board's session values apart.
    BoardRun(const QString& port, const QString& imagePath, std::uint32_t salt,
             const Settings& settings, QObject* parent = nullptr);
    ~BoardRun() override;

    // The reset request, one character per resetStep (true once sent, or once failed).
    void beginReset();
    bool resetStep();
    // Wakes the boot loader; programming follows its identification by itself.
    void connectTarget();
    // Fails the board when the target, once it has answered, has been silent too long.
    void checkStall();
    // Ends a board still running (time-out, signal): closes its port, failed with `reason`
    // and where it stopped.
    void stop(const QString& reason);

    const QString& port() const { return port_; }
    // The device behind the port as far as known ("/dev/ttyUSB0"); empty when unknown.
    const QString& device() const { return device_; }
    // "COM3 (/dev/ttyUSB0)", or the device path given.
    QString label() const;
    // The label when space is short: a device path given stands alone, without the device it
    // names; a COM port keeps its device.
    QString compactLabel() const;
    Result result() const { return result_; }
    const QString& reason() const { return reason_; }
    // The identification line without its line end; empty until the target has answered.
    const QString& identLine() const { return identLine_; }
    RunPhase phase() const { return loader::phaseOf(link_); }
    // Erase progress or bytes written, and their total, in the current phase.
    std::uint64_t done() const;
    std::uint64_t total() const;
    // Milliseconds in the current phase (writing: since the first byte went out).
    qint64 phaseMs() const;
    // Image bytes sent (all of them once programmed).
    std::uint64_t bytesSent() const { return bytesSent_; }
    // From Connect (or the reset) to the end; up to now while running.
    double seconds() const;

    // LoaderObserver
    void showMessage(const std::string& text) override;
    bool confirmDamagedImage(const std::string& fault) override;
    void setLamp(int, bool) override {}
    void setEraseRange(int) override {}
    void setErasePos(int) override {}
    void setWritePos(int) override {}
    void startTimer() override;
    void stopTimer() override;
    void identifiedNow() override;
    void eraseBegun() override;
    void sessionFinished(bool programmed) override;
    void refresh() override;

signals:
    void finished();

private:
    // Runs a step of the link; a serial error or any other failure ends this board alone.
    void guard(const std::function<void()>& step);
    void onComm();
    void fail(const QString& reason);
    QString stoppedAt() const;
    void noteDevice();

    QString port_;
    QString device_;
    Settings settings_;
    std::unique_ptr<platform::CMSComm> comm_;
    loader::FirmwareImage image_;
    loader::BootLink link_;
    QTimer timer_;
    QElapsedTimer clock_;
    loader::StallWatch stall_;
    Result result_ = Result::running;
    QString reason_;
    QString identLine_;
    std::uint64_t bytesSent_ = 0;
    std::uint64_t imageLength_ = 0;
    bool echoUnmatched_ = false;
    qint64 phaseStartMs_ = 0;
    RunPhase shownPhase_ = RunPhase::starting;
    qint64 endMs_ = -1;
};

}  // namespace loader::cli
