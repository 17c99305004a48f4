#pragma once
// The loader's side of the boot-loader conversation: port opening, the reset request, waking
// the boot loader until it identifies itself, the erase handshake and the byte-by-byte,
// echo-paced transfer of the image. Driven by the window's buttons, its 100 ms timer and the
// serial control's receive event, all on one thread; reports through LoaderObserver.
// Errors of the serial control (platform::SerialError) are not caught here: they end the
// operation and the window shows their text.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "loader/core/FirmwareImage.h"
#include "loader/core/LoaderObserver.h"
#include "platform/clock/Clock.h"
#include "platform/serial/SerialControl.h"

namespace loader {

class BootLink {
public:
    // Wire constants of the boot loader.
    static constexpr std::uint8_t wakeByte = 0x77;  // "w"
    static constexpr const char* identPrefix = "Vell-";
    static constexpr std::uint8_t lineEnd = 0x0A;
    static constexpr const char* resetRequest = "AT BTLD RST\r\n";
    static constexpr const char* lineSettings = ",n,8,1";
    // Ticks an echoed wake byte may wait for its identification line.
    static constexpr std::uint8_t identWaitTicks = 3;
    // No real identification line comes near this; a longer one is noise and is dropped.
    static constexpr std::size_t maxIdentLine = 1024;
    // Pause after each character of a text command, in milliseconds.
    static constexpr std::uint32_t textPaceMs = 2;

    BootLink(platform::SerialControl& serial, platform::Clock& clock, LoaderObserver& observer,
             FirmwareImage& image);

    void openPort(const std::string& portText, const std::string& speedText);
    void sendByte(std::uint8_t byte);
    void sendText(const std::string& text);

    void resetTarget(const std::string& portText, const std::string& speedText);
    // The reset request one character per call, for a caller that drives several links from
    // one thread: resetTarget's pauses would hold every other link up meanwhile, so the caller
    // keeps textPaceMs between the calls itself. beginReset opens the port; each resetStep
    // sends the next character and closes the port after the LF, returning true then.
    void beginReset(const std::string& portText, const std::string& speedText);
    bool resetStep();
    void connect(const std::string& portText, const std::string& speedText);
    void timerTick();
    void program(const std::string& portText, const std::string& speedText);
    void onReceive();

    // The port number that a port text selects: n for exactly "COMn" with n in 1..30, else 1.
    static int portNumber(const std::string& portText);
    // n for exactly "COMn" with n in 1..30; nothing for any other text.
    static std::optional<int> exactPortNumber(const std::string& portText);

    bool connecting() const { return connecting_; }
    bool echoSeen() const { return echoSeen_; }
    bool identified() const { return identified_; }
    const std::string& identLine() const { return identLine_; }
    std::uint8_t waitTicks() const { return waitTicks_; }
    bool programming() const { return programming_; }
    bool eraseStarted() const { return eraseStarted_; }
    bool writing() const { return writing_; }
    std::uint16_t eraseTotal() const { return eraseTotal_; }
    std::uint16_t eraseReceived() const { return eraseReceived_; }
    std::uint8_t lastSent() const { return lastSent_; }
    std::uint32_t sentCount() const { return sentCount_; }
    std::uint32_t imageLength() const { return imageLength_; }

    // Why the last run that was abandoned stopped, for the window's status line (the message
    // box says it at length).
    enum class StopCause { none, portLost, imageUnreadable };
    StopCause stopCause() const { return stopCause_; }

private:
    using Batch = std::vector<std::uint8_t>;

    void identificationExchange(const Batch& b);
    void assembleLine(const Batch& b, std::size_t from);
    void identificationComplete();
    void programmingExchange(const Batch& b);
    void countProgress(std::size_t count);
    void beginWrite();
    void sendNext();
    void finish();
    void abandonRun(const std::string& message, StopCause cause);
    void endRun(bool programmed);
    void portLost();
    void endRunIfPortGone(const platform::SerialError& error);
    void closePort();
    void toggleBlink();

    platform::SerialControl& serial_;
    platform::Clock& clock_;
    LoaderObserver& observer_;
    FirmwareImage& image_;

    int portInUse_ = 1;
    std::size_t resetSent_ = 0;
    bool connecting_ = false;
    bool echoSeen_ = false;
    bool identified_ = false;
    std::string identLine_;
    std::uint8_t waitTicks_ = 0;
    bool blink_ = false;
    bool programming_ = false;
    bool eraseStarted_ = false;
    bool writing_ = false;
    bool haveTotalHigh_ = false;
    bool haveTotalLow_ = false;
    std::uint16_t eraseTotal_ = 0;
    std::uint16_t eraseReceived_ = 0;
    std::uint8_t lastSent_ = 0;
    std::uint32_t sentCount_ = 0;
    std::uint32_t imageLength_ = 0;
    StopCause stopCause_ = StopCause::none;
};

}  // namespace loader
