#include "loader/core/BootLink.h"

#include <algorithm>
#include <cstring>

#include "loader/core/LoaderIds.h"
#include "platform/serial/ComName.h"
#include "platform/serial/PortOpening.h"

namespace loader {

namespace {

constexpr int highestPort = 30;
constexpr const char* cannotOpenPort = "Cannot Open Serial Port!";

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

BootLink::BootLink(platform::SerialControl& serial, platform::Clock& clock,
                   LoaderObserver& observer, FirmwareImage& image)
    : serial_(serial), clock_(clock), observer_(observer), image_(image) {}

std::optional<int> BootLink::exactPortNumber(const std::string& portText) {
    return platform::comPortNumber(portText, highestPort);
}

int BootLink::portNumber(const std::string& portText) {
    return exactPortNumber(portText).value_or(1);
}

void BootLink::openPort(const std::string& portText, const std::string& speedText) {
    portInUse_ = portNumber(portText);
    platform::openComPort(serial_, portInUse_, [this] { observer_.showMessage(cannotOpenPort); });
    platform::applyLineSettings(serial_, speedText + lineSettings);
}

void BootLink::sendByte(std::uint8_t byte) {
    serial_.setOutput({byte});
}

void BootLink::sendText(const std::string& text) {
    for (char c : text) {
        sendByte(static_cast<std::uint8_t>(c));
        // The application firmware reads its commands slowly: let the clock move on by at
        // least textPaceMs before the next character (a wrap of the counter also ends it).
        const std::uint32_t start = clock_.milliseconds();
        for (;;) {
            const std::uint32_t now = clock_.milliseconds();
            if (now < start || now - start >= textPaceMs) {
                break;
            }
            clock_.pause(1);
        }
        if (static_cast<std::uint8_t>(c) == lineEnd) {
            break;
        }
    }
}

void BootLink::closePort() {
    if (serial_.getPortOpen()) {
        serial_.setPortOpen(false);
    }
}

void BootLink::resetTarget(const std::string& portText, const std::string& speedText) {
    openPort(portText, speedText);
    sendText(resetRequest);
    closePort();
}

void BootLink::beginReset(const std::string& portText, const std::string& speedText) {
    resetSent_ = 0;
    openPort(portText, speedText);
}

bool BootLink::resetStep() {
    const std::string text = resetRequest;
    if (resetSent_ < text.size()) {
        const auto c = static_cast<std::uint8_t>(text[resetSent_++]);
        sendByte(c);
        if (c != lineEnd) {
            return false;
        }
    }
    closePort();
    return true;
}

void BootLink::connect(const std::string& portText, const std::string& speedText) {
    connecting_ = true;
    echoSeen_ = false;
    identified_ = false;
    identLine_.clear();
    observer_.setLamp(ids::linkLamp, false);
    blink_ = false;
    observer_.setLamp(ids::waitingLamp, false);
    openPort(portText, speedText);
    sendByte(wakeByte);
    observer_.startTimer();
    observer_.refresh();
}

void BootLink::toggleBlink() {
    blink_ = !blink_;
    observer_.setLamp(ids::waitingLamp, blink_);
}

void BootLink::timerTick() {
    try {
        // Identified comes first: a line completed from a batch whose echo did not count
        // leaves echoSeen false with the port already closed, and waking again would write
        // to a closed port at every tick.
        if (identified_) {
            observer_.setLamp(ids::linkLamp, true);
            blink_ = false;
            observer_.setLamp(ids::waitingLamp, false);
            observer_.stopTimer();
        } else if (!echoSeen_) {
            toggleBlink();
            sendByte(wakeByte);
        } else {
            toggleBlink();
            ++waitTicks_;
            if (waitTicks_ >= identWaitTicks) {
                waitTicks_ = 0;
                echoSeen_ = false;
                identLine_.clear();
            }
        }
    } catch (const platform::SerialError& error) {
        // One message for a failed write, not one every 100 ms: Connect starts over.
        observer_.stopTimer();
        endRunIfPortGone(error);
    }
    observer_.refresh();
}

void BootLink::program(const std::string& portText, const std::string& speedText) {
    // Refused before the start byte goes out: the target erases its flash when it sees it,
    // and a file found wanting only at the write phase would leave it empty. A damaged Intel
    // HEX file goes only when the operator says so, and then exactly as stored.
    try {
        image_.check();
        if (const auto fault = image_.hexFault(); fault && !observer_.confirmDamagedImage(*fault)) {
            return;
        }
    } catch (const ImageError& refusal) {
        observer_.showMessage(refusal.what());
        return;
    }
    programming_ = true;
    eraseStarted_ = false;
    writing_ = false;
    observer_.setErasePos(0);
    observer_.setWritePos(0);
    imageLength_ = 0;
    sentCount_ = 0;
    openPort(portText, speedText);
    sendByte(image_.startByte());
    observer_.refresh();
}

void BootLink::onReceive() {
    const int event = serial_.getCommEvent();
    if (event == platform::comEvPortLost) {
        portLost();
        return;
    }
    if (event != platform::comEvReceive) {
        return;
    }
    const Batch batch = serial_.getInput();
    if (batch.empty()) {
        return;
    }
    try {
        if (connecting_) {
            identificationExchange(batch);
        } else if (programming_) {
            programmingExchange(batch);
        }
    } catch (const platform::SerialError& error) {
        endRunIfPortGone(error);
    }
    observer_.refresh();
}

void BootLink::endRunIfPortGone(const platform::SerialError& error) {
    // A write that failed because the device went away ends the run here, so the user can
    // start again; the control's own loss event that may follow finds no run to end.
    if (serial_.getPortOpen() || (!connecting_ && !programming_)) {
        throw;
    }
    abandonRun(error.what(), StopCause::portLost);
}

void BootLink::identificationExchange(const Batch& b) {
    const std::string prefix = identPrefix;
    if (!echoSeen_ && b[0] == wakeByte) {
        const std::size_t compared = std::min(b.size() - 1, prefix.size());
        if (b.size() == 1 || std::equal(b.begin() + 1, b.begin() + 1 + compared, prefix.begin())) {
            echoSeen_ = true;
            identLine_.clear();
        }
        assembleLine(b, 1);
    } else if (echoSeen_) {
        assembleLine(b, 0);
    }
}

void BootLink::assembleLine(const Batch& b, std::size_t from) {
    const std::string prefix = identPrefix;
    for (std::size_t i = from; i < b.size(); ++i) {
        const std::uint8_t c = b[i];
        if (c == lineEnd) {
            if (startsWith(identLine_, prefix)) {
                identificationComplete();
                return;
            }
            echoSeen_ = false;
            identLine_.clear();
            continue;
        }
        identLine_.push_back(static_cast<char>(c));
        const bool wrongStart = identLine_.size() < prefix.size() ? !startsWith(prefix, identLine_)
                                                                  : !startsWith(identLine_, prefix);
        if (wrongStart) {
            identLine_.clear();
        } else if (identLine_.size() > maxIdentLine) {
            // Endless text without a line end is not a boot loader: wake it again.
            echoSeen_ = false;
            identLine_.clear();
        }
    }
}

void BootLink::identificationComplete() {
    closePort();
    connecting_ = false;
    identified_ = true;
    observer_.identifiedNow();
}

void BootLink::programmingExchange(const Batch& b) {
    const std::size_t n = b.size();
    if (!eraseStarted_ && !writing_ &&
        (b[0] == FirmwareImage::startBytePlain || b[0] == FirmwareImage::startByteScrambled)) {
        eraseStarted_ = true;
        eraseReceived_ = 0;
        eraseTotal_ = 0;
        haveTotalHigh_ = false;
        haveTotalLow_ = false;
        observer_.eraseBegun();
        if (n >= 2) {
            haveTotalHigh_ = true;
            eraseTotal_ = static_cast<std::uint16_t>(b[1] * 256);
        }
        if (n >= 3) {
            eraseTotal_ = static_cast<std::uint16_t>(eraseTotal_ + b[2]);
            haveTotalLow_ = true;
            observer_.setEraseRange(eraseTotal_);
        }
        if (n >= 4) {
            countProgress(n - 3);
        }
    } else if (eraseStarted_ && !writing_) {
        if (!haveTotalHigh_) {
            haveTotalHigh_ = true;
            eraseTotal_ = static_cast<std::uint16_t>(b[0] * 256);
            if (n >= 2) {
                eraseTotal_ = static_cast<std::uint16_t>(eraseTotal_ + b[1]);
                haveTotalLow_ = true;
                observer_.setEraseRange(eraseTotal_);
            }
            if (n >= 3) {
                countProgress(n - 2);
            }
        } else if (!haveTotalLow_) {
            haveTotalLow_ = true;
            eraseTotal_ = static_cast<std::uint16_t>(eraseTotal_ + b[0]);
            observer_.setEraseRange(eraseTotal_);
            if (n >= 2) {
                countProgress(n - 1);
            }
        } else {
            countProgress(n);
        }
    } else if (eraseStarted_ && writing_ && b[0] == lastSent_) {
        if (sentCount_ < imageLength_) {
            sendNext();
            if (!writing_) {
                return;  // the image could not be read; the run has ended
            }
            observer_.setWritePos(static_cast<int>(static_cast<double>(sentCount_) * 100.0 /
                                                   static_cast<double>(imageLength_)));
        } else {
            finish();
        }
    }
}

void BootLink::countProgress(std::size_t count) {
    eraseReceived_ = static_cast<std::uint16_t>(eraseReceived_ + count);
    observer_.setErasePos(eraseReceived_);
    if (eraseReceived_ >= eraseTotal_) {
        beginWrite();
    }
}

void BootLink::beginWrite() {
    std::uint32_t length = 0;
    try {
        length = image_.open();
    } catch (const ImageError& e) {
        abandonRun(e.what(), StopCause::imageUnreadable);
        return;
    }
    imageLength_ = length;
    sentCount_ = 0;
    writing_ = true;
    serial_.getInput();
    sendNext();
    observer_.refresh();
}

void BootLink::sendNext() {
    try {
        lastSent_ = image_.byteAt(sentCount_);
    } catch (const ImageError& e) {
        abandonRun(e.what(), StopCause::imageUnreadable);
        return;
    }
    sendByte(lastSent_);
    ++sentCount_;
}

void BootLink::finish() {
    endRun(true);
}

void BootLink::endRun(bool programmed) {
    closePort();
    programming_ = false;
    eraseStarted_ = false;
    writing_ = false;
    echoSeen_ = false;
    observer_.setLamp(ids::linkLamp, false);
    blink_ = false;
    observer_.setLamp(ids::waitingLamp, false);
    image_.close();
    observer_.setWritePos(0);
    observer_.setErasePos(0);
    imageLength_ = 0;
    sentCount_ = 0;
    observer_.sessionFinished(programmed);
}

void BootLink::abandonRun(const std::string& message, StopCause cause) {
    stopCause_ = cause;
    if (connecting_) {
        connecting_ = false;
        observer_.stopTimer();
    }
    endRun(false);
    // Last, so the run is already over if the message box lets other events in.
    observer_.showMessage(message);
}

void BootLink::portLost() {
    if (!connecting_ && !programming_) {
        return;
    }
    // A port given by its device path is named by it: COM1 would point at another board.
    const std::string port = serial_.deviceOverride().empty() ? platform::comPortName(portInUse_)
                                                              : serial_.deviceOverride();
    abandonRun("The serial port " + port +
                   " was lost: the device has gone (adapter unplugged or target switched off). "
                   "Check the connection and try again.",
               StopCause::portLost);
    observer_.refresh();
}

}  // namespace loader
