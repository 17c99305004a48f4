#pragma once
// The boot loader's side of the loader link: echo the wake byte and identify, echo the start
// byte and report erase progress, then echo every image byte and keep what arrived.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Endpoint.h"
#include "Options.h"
#include "Turnaround.h"
#include "loader/core/ScrambleFormat.h"

namespace boot_target {

class BootTarget {
public:
    BootTarget(Endpoint& endpoint, const Options& options);
    // Serves until interrupted (or, with --once, until the first session ends). Returns the
    // process exit status.
    int run(const volatile int& stopRequested);

private:
    using TimePoint = std::chrono::steady_clock::time_point;
    enum class State { idle, identified, writing };

    void handle(std::uint8_t byte, TimePoint arrived);
    void collectText(std::uint8_t byte);
    void wake();
    void startErase(std::uint8_t startByte);
    void imageByte(std::uint8_t byte);
    void repeatEchoIfDue();
    void endSession(const std::string& why);
    void saveOutput();
    void reply(const std::vector<std::uint8_t>& bytes);
    void writeBytes(const std::uint8_t* data, std::size_t size);
    void pause(int milliseconds);
    void paceBytes(std::size_t count);
    void say(const std::string& text) const;

    Endpoint& endpoint_;
    const Options& options_;
    State state_ = State::idle;
    std::string textLine_;
    int wakesInRow_ = 0;
    bool scrambled_ = false;
    std::uint32_t imageIndex_ = 0;
    std::vector<std::uint8_t> received_;
    std::vector<std::uint8_t> session_;
    std::vector<std::uint8_t> qValues_;
    loader::scramble::SessionMask mask_{0, 0};
    bool silentSaid_ = false;
    bool vanished_ = false;
    bool sessionDone_ = false;
    // After a wrong echo: the right one, sent again until the next image byte comes.
    std::optional<std::uint8_t> echoToRepeat_;
    TimePoint repeatAt_{};
    TimePoint lastByte_{};
    Turnaround turnaround_;
};

}  // namespace boot_target
