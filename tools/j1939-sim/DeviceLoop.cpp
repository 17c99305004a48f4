#include "DeviceLoop.h"

#include <poll.h>
#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <thread>

namespace sim {

namespace {

// 115200 baud, 10 bit times per byte (start, 8 data, stop).
constexpr double lineBytesPerSecond = 11520.0;
// What may go out in one burst after a pause: a few lines, as a UART FIFO would.
constexpr double maxByteBudget = 256.0;
// Status rounds are skipped while this much is still waiting (nobody reads the line).
constexpr std::size_t maxBacklog = 2048;
// In saturate mode a new round is queued as soon as the queue runs this low.
constexpr std::size_t saturateRefill = 64;
// How often a pty without anyone on its other side is looked at again.
constexpr auto peerProbeInterval = std::chrono::milliseconds(20);

}  // namespace

DeviceLoop::DeviceLoop(const SimOptions& options, SerialEndpoint& line, EventLog& log)
    : options_(options),
      line_(line),
      log_(log),
      simulator_(options.device),
      shaper_(options.faults),
      start_(Clock::now()),
      nextRound_(start_),
      roundPeriod_(std::chrono::duration_cast<Clock::duration>(
          std::chrono::duration<double>(1.0 / options.statusRate))),
      lastRefill_(start_),
      peerPresent_(!line.isPseudoTerminal()) {
    if (!options.replayPath.empty()) {
        replaying_ = true;
        replay_ = readReplayLog(options.replayPath);
        log_.write("replaying " + std::to_string(replay_.lines.size()) + " lines of " +
                   options.replayPath + " once the terminal sends its first line");
    }
}

void DeviceLoop::run(const volatile std::sig_atomic_t& stop,
                     const volatile std::sig_atomic_t& silenceToggles) {
    seenToggles_ = silenceToggles;
    while (stop == 0) {
        updateSilence(silenceToggles);
        Clock::time_point now = Clock::now();
        if (replaying_) {
            playDueLines();
        } else if (options_.saturate) {
            if (output_.size() < saturateRefill) {
                sendStatusRound();
            }
        } else if (now >= nextRound_) {
            sendStatusRound();
            nextRound_ += roundPeriod_;
            if (nextRound_ < now) {
                nextRound_ = now + roundPeriod_;  // fell behind (suspended): don't burst
            }
        }
        flush();
        if (replaying_) {
            noteReplayEnd();
        }

        pollfd watch{line_.fd(), POLLIN, 0};
        int ready = ::poll(&watch, 1, pollTimeoutMs());
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::runtime_error("poll failed on " + line_.devicePath());
        }
        if (ready == 0) {
            // A pty master without a hang-up has someone on the slave side.
            notePeer(true);
            continue;
        }
        if (!line_.isPseudoTerminal() && (watch.revents & (POLLHUP | POLLERR | POLLNVAL))) {
            throw std::runtime_error(line_.devicePath() + " went away");
        }
        receive();
        if (!peerPresent_) {
            // A pty master reports a hang-up for as long as the slave is closed.
            std::this_thread::sleep_for(peerProbeInterval);
        }
    }
}

int DeviceLoop::pollTimeoutMs() const {
    if (!output_.empty() || options_.saturate) {
        return 1;
    }
    if (replaying_) {
        if (!replayStart_ || replayNext_ >= replay_.lines.size()) {
            return 1000;
        }
        const auto due = *replayStart_ +
                         std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                             replay_.lines[replayNext_].seconds / options_.replaySpeed));
        auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now());
        return static_cast<int>(std::clamp<long long>(wait.count() + 1, 0, 1000));
    }
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextRound_ - Clock::now());
    return static_cast<int>(std::clamp<long long>(wait.count() + 1, 0, 1000));
}

void DeviceLoop::updateSilence(const volatile std::sig_atomic_t& silenceToggles) {
    if (options_.silentAfter && !timedSilenceDone_ &&
        log_.secondsSinceStart() >= *options_.silentAfter) {
        timedSilenceDone_ = true;
        silent_ = true;
        output_.clear();
        lineUnderway_ = false;
        log_.write("silent now (--silent-after): sending nothing, still listening");
    }
    std::sig_atomic_t toggles = silenceToggles;
    if (toggles != seenToggles_) {
        seenToggles_ = toggles;
        silent_ = !silent_;
        output_.clear();
        lineUnderway_ = false;
        log_.write(silent_ ? "silent now (SIGUSR1): sending nothing, still listening"
                           : "talking again (SIGUSR1)");
    }
}

void DeviceLoop::notePeer(bool present) {
    if (present == peerPresent_) {
        return;
    }
    peerPresent_ = present;
    if (present) {
        log_.write("port opened on " + line_.devicePath());
    } else {
        // What was not taken is lost with the cable, as on a real line; but a line already
        // begun goes out whole, as a UART finishes it whether anyone listens or not. Cut off,
        // its head would stand glued to the next line the terminal reads after reopening
        // ("BR" + "ACK REVD"), and the receiver's header move rightly refuses that line.
        const std::size_t lineEnd = lineUnderway_ ? output_.find('\n') : std::string::npos;
        output_.erase(lineEnd == std::string::npos ? 0 : lineEnd + 1);
        log_.write("port closed on " + line_.devicePath());
    }
}

void DeviceLoop::receive() {
    std::string bytes;
    bool present = line_.readAvailable(bytes);
    if (!bytes.empty()) {
        notePeer(true);
    }
    for (const ReceivedLine& received : reader_.push(bytes.data(), bytes.size())) {
        answer(received);
    }
    notePeer(present);
}

void DeviceLoop::answer(const ReceivedLine& received) {
    if (!received.complete) {
        log_.received(
            received.bytes,
            "no LF within " + std::to_string(CommandReader::maxLineLength) + " bytes, dropped");
        return;
    }
    if (replaying_) {
        // The log holds the device's answers already; they go out at their recorded times.
        if (!replayStart_) {
            replayStart_ = Clock::now();
            log_.write("replay started");
        }
        log_.received(received.bytes, "(replaying: not answered)");
        return;
    }
    Simulator::Outcome outcome = simulator_.onCommand(received.bytes);
    if (silent_ && !outcome.answers.empty()) {
        outcome.note += " (silent: no answer)";
    }
    log_.received(received.bytes, outcome.note);
    if (silent_) {
        return;
    }
    for (const OutgoingLine& line : outcome.answers) {
        queue(line, true);
    }
}

void DeviceLoop::playDueLines() {
    if (!replayStart_ || replayNext_ >= replay_.lines.size()) {
        return;
    }
    const double elapsed =
        std::chrono::duration<double>(Clock::now() - *replayStart_).count() * options_.replaySpeed;
    while (replayNext_ < replay_.lines.size() && replay_.lines[replayNext_].seconds <= elapsed) {
        if (!silent_) {
            output_ += replay_.lines[replayNext_].bytes;
            if (options_.verbose) {
                log_.sent(replay_.lines[replayNext_].bytes);
            }
        }
        ++replayNext_;
    }
}

// Finished once the last line has gone out on the line, not when it was queued: whoever
// waits for this message may take every line as sent.
void DeviceLoop::noteReplayEnd() {
    if (replayEndNoted_ || !replayStart_ || replayNext_ < replay_.lines.size() ||
        !output_.empty()) {
        return;
    }
    replayEndNoted_ = true;
    log_.write("replay finished: " + std::to_string(replay_.lines.size()) + " lines sent");
}

void DeviceLoop::sendStatusRound() {
    auto elapsed = static_cast<unsigned>(
        std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start_).count());
    // The round is computed even when nobody listens, so Dynamic keeps sweeping.
    auto round = simulator_.statusRound(elapsed);
    if (silent_ || !peerPresent_) {
        return;
    }
    if (output_.size() > maxBacklog) {
        if (!backlogNoted_) {
            log_.write("the line is not being read; status rounds skipped until it is");
            backlogNoted_ = true;
        }
        return;
    }
    backlogNoted_ = false;
    for (const OutgoingLine& line : round) {
        queue(line, options_.verbose);
    }
}

void DeviceLoop::queue(const OutgoingLine& line, bool logIt) {
    std::string bytes = shaper_.wireBytes(line);
    if (logIt) {
        log_.sent(bytes);
    }
    output_ += bytes;
}

void DeviceLoop::flush() {
    Clock::time_point now = Clock::now();
    byteBudget_ = std::min(maxByteBudget,
                           byteBudget_ + std::chrono::duration<double>(now - lastRefill_).count() *
                                             lineBytesPerSecond);
    lastRefill_ = now;
    auto allowed = std::min(output_.size(), static_cast<std::size_t>(byteBudget_));
    if (allowed == 0) {
        return;
    }
    std::size_t written = line_.writeSome(output_.data(), allowed);
    if (written > 0) {
        lineUnderway_ = output_[written - 1] != '\n';
    }
    output_.erase(0, written);
    byteBudget_ -= static_cast<double>(written);
}

}  // namespace sim
