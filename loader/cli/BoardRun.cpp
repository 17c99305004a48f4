#include "loader/cli/BoardRun.h"

#include <QFile>
#include <cmath>
#include <exception>
#include <filesystem>

#include "loader/cli/LoaderOptions.h"
#include "platform/clock/Clock.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/SerialErrorText.h"
#include "platform/serial/qt/CMSComm.h"

namespace loader::cli {

namespace {

constexpr int timerPeriodMs = 100;

std::string resolvedDevice(const std::string& path) {
    std::error_code error;
    auto resolved = std::filesystem::canonical(path, error);
    return error ? std::string() : resolved.string();
}

}  // namespace

BoardRun::BoardRun(const QString& port, const QString& imagePath, std::uint32_t salt,
                   const Settings& settings, QObject* parent)
    : QObject(parent),
      port_(port),
      settings_(settings),
      comm_(std::make_unique<platform::CMSComm>()),
      link_(*comm_, platform::SystemClock::instance(), *this, image_),
      stall_(static_cast<std::uint64_t>(std::ceil(settings.stallSeconds * 1000.0))) {
    image_.setPath(QFile::encodeName(imagePath).toStdString());
    image_.setSessionSalt(salt);
    if (LoaderOptions::isDevicePath(port_)) {
        comm_->setDeviceOverride(QFile::encodeName(port_).toStdString());
    }
    noteDevice();
    timer_.setInterval(timerPeriodMs);
    connect(&timer_, &QTimer::timeout, this, [this] { guard([this] { link_.timerTick(); }); });
    comm_->setOnComm([this] { onComm(); });
    clock_.start();
}

BoardRun::~BoardRun() {
    comm_->setOnComm(nullptr);
    timer_.stop();
    if (comm_->getPortOpen()) {
        try {
            comm_->setPortOpen(false);
        } catch (const std::exception&) {
            // Going anyway: nothing is left to tell.
        }
    }
}

void BoardRun::noteDevice() {
    std::string device;
    if (comm_->getPortOpen()) {
        device = comm_->devicePath().toStdString();
    } else if (LoaderOptions::isDevicePath(port_)) {
        device = resolvedDevice(QFile::encodeName(port_).toStdString());
    } else {
        const auto mapping =
            platform::PortMap().map(loader::BootLink::portNumber(port_.toStdString()));
        if (mapping.source != platform::ComPortMapping::Source::none) {
            device = resolvedDevice(mapping.device);
        }
    }
    if (!device.empty()) {
        device_ = QFile::decodeName(QByteArray::fromStdString(device));
    }
}

QString BoardRun::label() const {
    if (device_.isEmpty() || device_ == port_) {
        return port_;
    }
    return port_ + " (" + device_ + ")";
}

QString BoardRun::compactLabel() const {
    return LoaderOptions::isDevicePath(port_) ? port_ : label();
}

void BoardRun::guard(const std::function<void()>& step) {
    if (result_ != Result::running) {
        return;
    }
    try {
        step();
    } catch (const std::exception& error) {
        fail(QString::fromStdString(error.what()));
    }
}

void BoardRun::beginReset() {
    clock_.start();
    guard([this] {
        link_.beginReset(port_.toStdString(), settings_.speed.toStdString());
        noteDevice();
    });
}

bool BoardRun::resetStep() {
    bool sent = true;
    guard([this, &sent] { sent = link_.resetStep(); });
    return sent || result_ != Result::running;
}

void BoardRun::connectTarget() {
    if (phase() == RunPhase::starting && !link_.identified()) {
        phaseStartMs_ = clock_.elapsed();
    }
    guard([this] {
        link_.connect(port_.toStdString(), settings_.speed.toStdString());
        noteDevice();
    });
}

void BoardRun::onComm() {
    const bool data = comm_->getCommEvent() == platform::comEvReceive;
    const std::uint32_t sentBefore = link_.sentCount();
    guard([this] { link_.onReceive(); });
    if (data && result_ == Result::running) {
        stall_.heard(static_cast<std::uint64_t>(clock_.elapsed()));
        echoUnmatched_ = link_.writing() && link_.sentCount() == sentBefore;
    }
}

void BoardRun::checkStall() {
    if (result_ != Result::running ||
        !stall_.stalled(static_cast<std::uint64_t>(clock_.elapsed()))) {
        return;
    }
    const QString what = echoUnmatched_
                             ? QStringLiteral("no matching echo for %1 s while %2 (bad echo): %3")
                             : QStringLiteral("no answer from the target for %1 s while %2: %3");
    fail(what.arg(settings_.stallSeconds)
             .arg(QString::fromLatin1(loader::phaseName(phase())), stoppedAt()));
}

void BoardRun::stop(const QString& reason) {
    if (result_ != Result::running) {
        return;
    }
    fail(QStringLiteral("%1 while %2: %3")
             .arg(reason, QString::fromLatin1(loader::phaseName(phase())), stoppedAt()));
}

QString BoardRun::stoppedAt() const {
    return QString::fromStdString(loader::stopReason(link_, stall_.heardFrom()));
}

void BoardRun::fail(const QString& reason) {
    if (result_ != Result::running) {
        return;
    }
    result_ = Result::failed;
    reason_ = reason;
    endMs_ = clock_.elapsed();
    timer_.stop();
    comm_->setOnComm(nullptr);
    try {
        if (comm_->getPortOpen()) {
            comm_->setPortOpen(false);
        }
    } catch (const std::exception&) {
        // The port is going with the board; its reason is already kept.
    }
    emit finished();
}

std::uint64_t BoardRun::done() const {
    if (result_ == Result::programmed) {
        return bytesSent_;
    }
    if (link_.writing()) {
        return link_.sentCount();
    }
    return link_.programming() ? link_.eraseReceived() : 0;
}

std::uint64_t BoardRun::total() const {
    if (result_ == Result::programmed) {
        return imageLength_;
    }
    if (link_.writing()) {
        return link_.imageLength();
    }
    return link_.programming() ? link_.eraseTotal() : 0;
}

qint64 BoardRun::phaseMs() const {
    return (endMs_ >= 0 ? endMs_ : clock_.elapsed()) - phaseStartMs_;
}

double BoardRun::seconds() const {
    return static_cast<double>(endMs_ >= 0 ? endMs_ : clock_.elapsed()) / 1000.0;
}

void BoardRun::showMessage(const std::string& text) {
    fail(QString::fromStdString(text));
}

bool BoardRun::confirmDamagedImage(const std::string& fault) {
    if (!settings_.hexCheck) {
        return true;
    }
    fail(QFile::decodeName(QByteArray::fromStdString(fault)) +
         QStringLiteral(": the target was not touched (--no-hex-check sends the file as stored)"));
    return false;
}

void BoardRun::startTimer() {
    timer_.start(timerPeriodMs);
}

void BoardRun::stopTimer() {
    timer_.stop();
}

void BoardRun::identifiedNow() {
    identLine_ = QString::fromLatin1(link_.identLine().c_str()).trimmed();
    // Pressed from the event loop, not from inside the receive event that identified.
    QTimer::singleShot(0, this, [this] {
        guard([this] { link_.program(port_.toStdString(), settings_.speed.toStdString()); });
    });
}

void BoardRun::eraseBegun() {}

void BoardRun::refresh() {
    const RunPhase now = phase();
    if (now != shownPhase_) {
        shownPhase_ = now;
        // The rate counts from the first byte written, the erase not included.
        if (now == RunPhase::erasing || now == RunPhase::writing) {
            phaseStartMs_ = clock_.elapsed();
        }
    }
    if (link_.writing()) {
        bytesSent_ = link_.sentCount();
        imageLength_ = link_.imageLength();
    }
}

void BoardRun::sessionFinished(bool programmed) {
    if (result_ != Result::running) {
        return;
    }
    if (!programmed) {
        // The message that says why follows at once; this only covers a run ended silently.
        QTimer::singleShot(0, this, [this] {
            fail(QStringLiteral("the run ended before the target was programmed"));
        });
        return;
    }
    result_ = Result::programmed;
    endMs_ = clock_.elapsed();
    timer_.stop();
    emit finished();
}

}  // namespace loader::cli
