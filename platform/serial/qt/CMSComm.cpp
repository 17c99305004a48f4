#include "platform/serial/qt/CMSComm.h"

#include "platform/serial/DeviceAccess.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/SerialErrorText.h"

#include <QMessageBox>
#include <QTimer>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace platform {

using platform::LineSettings;
using platform::SerialError;

namespace {

// MSComm's own limit for CommPort.
constexpr int highestPortNumber = 255;

// What the control holds for the program between reads: one receive event's worth. While the
// window cannot read (a message box open in the receive path), the rest waits in the driver
// and what overflows there is dropped, as on any serial line; the program's memory stays put.
constexpr qint64 inputBufferBytes = 2048;

QSerialPort::Parity qtParity(LineSettings::Parity parity) {
    switch (parity) {
        case LineSettings::Parity::even:
            return QSerialPort::EvenParity;
        case LineSettings::Parity::odd:
            return QSerialPort::OddParity;
        case LineSettings::Parity::mark:
            return QSerialPort::MarkParity;
        case LineSettings::Parity::space:
            return QSerialPort::SpaceParity;
        case LineSettings::Parity::none:
            break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits qtStopBits(LineSettings::StopBits stopBits) {
    switch (stopBits) {
        case LineSettings::StopBits::oneAndHalf:
            return QSerialPort::OneAndHalfStop;
        case LineSettings::StopBits::two:
            return QSerialPort::TwoStop;
        case LineSettings::StopBits::one:
            break;
    }
    return QSerialPort::OneStop;
}

}  // namespace

CMSComm::CMSComm(QObject* parent) : QObject(parent) {
    serial_.setReadBufferSize(inputBufferBytes);
    connect(&serial_, &QSerialPort::readyRead, this, &CMSComm::onReadyRead);
    connect(&serial_, &QSerialPort::errorOccurred, this, &CMSComm::onErrorOccurred);
    receivePause_.setSingleShot(true);
    receivePause_.setTimerType(Qt::PreciseTimer);
    connect(&receivePause_, &QTimer::timeout, this, [this] {
        if (serial_.isOpen() && !readNotifier_.isNull()) {
            readNotifier_->setEnabled(true);
        }
    });
}

CMSComm::~CMSComm() {
    // No loss events from a control that is going away.
    serial_.disconnect(this);
}

void CMSComm::setCommPort(int port) {
    if (serial_.isOpen()) {
        throw SerialError("Cannot switch to COM" + std::to_string(port) + " while " +
                          platform::portLabel(port_, device_) + " is open; close it first.");
    }
    if (port < 1 || port > highestPortNumber) {
        throw SerialError("COM" + std::to_string(port) +
                          " is not a port: the number must be 1 to " +
                          std::to_string(highestPortNumber) + ".");
    }
    port_ = port;
}

void CMSComm::setPortOpen(bool open) {
    if (open) {
        openPort();
    } else {
        closePort();
    }
}

void CMSComm::openPort() {
    if (serial_.isOpen()) {
        throw SerialError(platform::alreadyOpenText(port_, device_));
    }
    const bool named = !deviceOverride().empty();
    // A device named by its path is called by that path in every text, not by a COM number.
    const int label = named ? 0 : port_;
    platform::PortMap portMap;
    platform::ComPortMapping mapping;
    if (!named) {
        mapping = portMap.map(port_);
    } else {
        // Named by the caller: used as it is, never replaced by another device.
        mapping.source = platform::ComPortMapping::Source::link;
        mapping.device = deviceOverride();
        mapping.link = deviceOverride();
    }
    if (mapping.source == platform::ComPortMapping::Source::none) {
        throw SerialError(platform::noDeviceText(port_, mapping, portMap.folder()));
    }
    // Open the device under its own name, so the lock file and the error texts are those of
    // /dev/ttyUSB0 however many links lead there.
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::canonical(mapping.device, error);
    if (error == std::errc::too_many_symbolic_link_levels) {
        throw SerialError(platform::linkLoopText(
            label, mapping.link.empty() ? mapping.device : mapping.link.string()));
    }
    if (error) {
        throw SerialError(named ? platform::missingDeviceText(label, deviceOverride())
                                : platform::noDeviceText(port_, mapping, portMap.folder()));
    }
    const std::string device = resolved.string();
    // A file, a pipe or /dev/null would take the bytes (or block) without ever answering.
    if (const std::string kind = platform::notSerialPortKind(device); !kind.empty()) {
        throw SerialError(platform::notSerialPortText(label, device, kind));
    }

    // Open with a frame every device takes; the chosen one follows once the port is open,
    // where a pseudo-terminal's refusals can be told apart from a real port's.
    serial_.setPortName(QString::fromStdString(device));
    serial_.setBaudRate(lineSettings_.baudRate);
    serial_.setDataBits(QSerialPort::Data8);
    serial_.setParity(QSerialPort::NoParity);
    serial_.setStopBits(QSerialPort::OneStop);
    serial_.setFlowControl(QSerialPort::NoFlowControl);
    for (bool staleLockRemoved = false; !serial_.open(QIODevice::ReadWrite);) {
        const QSerialPort::SerialPortError failure = serial_.error();
        const std::string detail = serial_.errorString().toStdString();
        serial_.clearError();
        switch (failure) {
            case QSerialPort::DeviceNotFoundError:
                throw SerialError(named ? platform::missingDeviceText(label, deviceOverride())
                                        : platform::noDeviceText(port_, mapping, portMap.folder()));
            case QSerialPort::PermissionError: {
                if (!platform::permissionAllowsReadWrite(device)) {
                    throw SerialError(platform::permissionDeniedText(
                        label, device, platform::deviceGroupName(device)));
                }
                // Readable and writable, yet refused: a lock file, or exclusive use by
                // another program. A lock left by a process that has ended is removed where
                // the lock folder allows it (Qt's own removal needs write access to the file).
                const std::string lockFile = platform::serialLockFilePath(device);
                const long owner = lockFile.empty() ? 0 : platform::lockOwner(lockFile);
                if (owner != 0 && !platform::processRunning(owner)) {
                    if (!staleLockRemoved && platform::removeStaleLock(lockFile)) {
                        staleLockRemoved = true;
                        continue;
                    }
                    throw SerialError(platform::staleLockText(label, device, lockFile, owner));
                }
                if (owner != 0) {
                    throw SerialError(platform::lockedByText(label, device, lockFile, owner));
                }
                throw SerialError(platform::busyText(label, device, detail));
            }
            case QSerialPort::UnsupportedOperationError:
                throw SerialError(platform::settingsRefusedText(label, device, settings_, detail));
            default:
                throw SerialError(platform::openFailedText(label, device, detail));
        }
    }
    device_ = device;
    pseudoTerminal_ = platform::isPseudoTerminal(device);
    ++generation_;
    commEvent_ = 0;
    platform::requestLowLatency(static_cast<int>(serial_.handle()));
    try {
        applySettings(lineSettings_, settings_);
    } catch (const SerialError&) {
        closePort();
        throw;
    }
    setOpenedThrough(
        mapping.source == platform::ComPortMapping::Source::link ? mapping.link.string() : device);
}

void CMSComm::closePort() {
    if (!serial_.isOpen()) {
        return;
    }
    receivePause_.stop();
    serial_.close();
    serial_.clearError();
    device_.clear();
    ++generation_;
}

void CMSComm::setSettings(const std::string& settings) {
    LineSettings parsed;
    try {
        parsed = platform::parseLineSettings(settings);
    } catch (const SerialError& refused) {
        throw SerialError(platform::portLabel(port_, device_) + ": " + refused.what());
    }
    if (serial_.isOpen()) {
        applySettings(parsed, settings);
    }
    lineSettings_ = parsed;
    settings_ = settings;
}

void CMSComm::applySettings(const LineSettings& settings, const std::string& text) {
    // A pseudo-terminal keeps 8 data bits without parity and has no modem lines or flow
    // control; it carries the bytes all the same, so its refusals are no error.
    auto require = [&](bool accepted) {
        if (accepted) {
            return;
        }
        const std::string detail = serial_.errorString().toStdString();
        serial_.clearError();
        if (!pseudoTerminal_) {
            throw SerialError(platform::settingsRefusedText(port_, device_, text, detail));
        }
    };
    require(serial_.setBaudRate(settings.baudRate));
    require(serial_.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)));
    require(serial_.setParity(qtParity(settings.parity)));
    require(serial_.setStopBits(qtStopBits(settings.stopBits)));
    if (!serial_.setFlowControl(QSerialPort::NoFlowControl)) {
        serial_.clearError();
    }
}

void CMSComm::setOutput(const std::vector<std::uint8_t>& bytes) {
    if (!serial_.isOpen()) {
        throw SerialError(platform::notOpenText(port_));
    }
    if (bytes.empty()) {
        return;
    }
    const std::string device = device_;
    const char* data = reinterpret_cast<const char*>(bytes.data());
    auto left = static_cast<qint64>(bytes.size());
    // Straight to the driver while Qt holds nothing unsent: Qt's own path arms and disarms a
    // write notifier for every call, which wakes the event loop once more for every byte the
    // loader sends. What the driver does not take now (or refuses) goes Qt's way below, which
    // keeps the order and reports a failure as before.
    if (serial_.bytesToWrite() == 0) {
        const int fd = static_cast<int>(serial_.handle());
        while (left > 0) {
            const ssize_t written = ::write(fd, data, static_cast<std::size_t>(left));
            if (written > 0) {
                data += written;
                left -= written;
            } else if (written < 0 && errno == EINTR) {
                continue;
            } else {
                break;
            }
        }
        if (left == 0) {
            return;
        }
    }
    if (serial_.write(data, left) < 0) {
        throw SerialError(platform::portLostText(port_, device));
    }
    // Hand the bytes to the driver now: the senders pace bytes with pauses that block the
    // event loop, and a byte left in Qt's buffer would only leave after the pause.
    serial_.flush();
    if (!serial_.isOpen()) {
        throw SerialError(platform::portLostText(port_, device));
    }
}

std::vector<std::uint8_t> CMSComm::getInput() {
    if (!serial_.isOpen()) {
        return {};
    }
    const QByteArray data = inputLen_ > 0 ? serial_.read(inputLen_) : serial_.readAll();
    return std::vector<std::uint8_t>(data.begin(), data.end());
}

void CMSComm::takeWaitingInput() {
    // Reading raises readyRead, and with it OnComm, before this returns; nothing waiting reads
    // as a time-out, which is no fault of the port.
    if (serial_.isOpen() && !serial_.waitForReadyRead(0) && serial_.isOpen()) {
        serial_.clearError();
    }
}

QString CMSComm::devicePath() const {
    return QString::fromStdString(device_);
}

void CMSComm::onReadyRead() {
    if (rThreshold_ <= 0 || serial_.bytesAvailable() < rThreshold_) {
        return;
    }
    commEvent_ = platform::comEvReceive;
    raiseOnCommSafely();
    if (receivePauseMs_ > 0) {
        pauseReceiving();
    }
}

void CMSComm::pauseReceiving() {
    // The port's own read notifier is held off until the pause ends; Qt turns it on again
    // whenever the program reads, so it is turned off after the event's handler has read.
    QSocketNotifier* notifier = serial_.isOpen() ? readNotifier() : nullptr;
    if (notifier == nullptr) {
        return;  // none to be found: read as bytes arrive
    }
    notifier->setEnabled(false);
    receivePause_.start(receivePauseMs_);
}

QSocketNotifier* CMSComm::readNotifier() {
    if (readNotifier_.isNull() || readNotifier_->socket() != serial_.handle()) {
        readNotifier_ = nullptr;
        for (auto* notifier : serial_.findChildren<QSocketNotifier*>()) {
            if (notifier->type() == QSocketNotifier::Read &&
                notifier->socket() == serial_.handle()) {
                readNotifier_ = notifier;
                break;
            }
        }
    }
    return readNotifier_.data();
}

void CMSComm::onErrorOccurred(QSerialPort::SerialPortError error) {
    // A pulled USB adapter reads as ResourceError; a pseudo-terminal whose far end closed
    // reads end-of-file, which Qt reports as ReadError, over and over. Both end the port.
    if (!serial_.isOpen() ||
        (error != QSerialPort::ResourceError && error != QSerialPort::ReadError)) {
        return;
    }
    closePort();
    const unsigned lostGeneration = generation_;
    // Raised from the event loop, not from inside Qt's read or write or a send of ours.
    QTimer::singleShot(0, this, [this, lostGeneration] {
        if (generation_ != lostGeneration) {
            return;
        }
        commEvent_ = platform::comEvPortLost;
        raiseOnCommSafely();
    });
}

void CMSComm::raiseOnCommSafely() {
    // The windows catch serial errors in their handlers; one that slips through must not
    // unwind through Qt's event loop, which would end the program.
    try {
        raiseOnComm();
    } catch (const std::exception& failure) {
        if (unhandledErrorReporter_) {
            unhandledErrorReporter_(failure.what());
        } else {
            QMessageBox::critical(nullptr, QString(), QString::fromStdString(failure.what()));
        }
    }
}

}  // namespace platform
