#include "BootTarget.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <thread>

namespace boot_target {

namespace {

constexpr std::uint8_t wakeByte = 0x77;
// How long a loader gets to take the right echo after a wrong one before it is sent again:
// long enough that a loader which did take it has long since sent the next byte.
constexpr auto echoRepeatInterval = std::chrono::seconds(2);
constexpr std::uint8_t startPlain = 0xA5;
constexpr std::uint8_t startScrambled = 0x5A;
constexpr const char* resetRequest = "AT BTLD RST";
constexpr std::size_t maxTextLine = 80;
// A real device never hangs up: a writing session is over after this much quiet.
constexpr auto deviceQuietEnd = std::chrono::seconds(2);

std::string hex(std::uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", b);
    return text;
}

}  // namespace

BootTarget::BootTarget(Endpoint& endpoint, const Options& options)
    : endpoint_(endpoint), options_(options) {}

void BootTarget::say(const std::string& text) const {
    if (!options_.quiet) {
        std::printf("boot-target: %s\n", text.c_str());
    }
}

void BootTarget::pause(int milliseconds) {
    if (milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

void BootTarget::paceBytes(std::size_t count) {
    if (options_.pace > 0) {
        // 10 bits per byte: start, 8 data, stop. A byte takes 87 us at 115200 baud; a plain
        // sleep that short overshoots by more than the byte itself, which would make the
        // stand-in, not the loader, the slow end. So sleep only for the bulk of a long wait
        // and spin the last stretch to the deadline.
        const auto nanos = static_cast<long long>(count) * 10'000'000'000LL / options_.pace;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::nanoseconds(nanos);
        constexpr auto spinStretch = std::chrono::microseconds(300);
        if (std::chrono::nanoseconds(nanos) > spinStretch) {
            std::this_thread::sleep_until(deadline - spinStretch);
        }
        while (std::chrono::steady_clock::now() < deadline) {
        }
    }
}

void BootTarget::writeBytes(const std::uint8_t* data, std::size_t size) {
    paceBytes(size);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(endpoint_.fd(), data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{endpoint_.fd(), POLLOUT, 0};
            if (::poll(&p, 1, 1000) <= 0) {
                say("the loader is not reading; reply dropped");
                return;
            }
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return;  // the loader closed the port; nothing to answer
        }
    }
}

void BootTarget::reply(const std::vector<std::uint8_t>& bytes) {
    pause(options_.replyDelayMs);
    if (!options_.splitReplies) {
        writeBytes(bytes.data(), bytes.size());
        return;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            pause(options_.splitGapMs);
        }
        writeBytes(&bytes[i], 1);
    }
}

int BootTarget::run(const volatile int& stopRequested) {
    std::vector<std::uint8_t> buffer(4096);
    while (!stopRequested && !vanished_ && !(options_.once && sessionDone_)) {
        repeatEchoIfDue();
        pollfd p{endpoint_.fd(), POLLIN, 0};
        int ready = ::poll(&p, 1, 50);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        bool hungUp = (p.revents & (POLLHUP | POLLERR)) != 0;
        if (p.revents & POLLIN) {
            ssize_t n = ::read(endpoint_.fd(), buffer.data(), buffer.size());
            if (n > 0) {
                auto arrived = std::chrono::steady_clock::now();
                lastByte_ = arrived;
                for (ssize_t i = 0; i < n && !vanished_; ++i) {
                    const std::uint8_t byte = buffer[static_cast<std::size_t>(i)];
                    // Wake bytes that piled up while this process waited for the processor
                    // are answered once: a boot loader on a real line answers each within
                    // milliseconds, long before the loader sends the next. Answered twice, the
                    // second identification would run into the start byte's echo.
                    if (state_ != State::writing && byte == wakeByte && i > 0 &&
                        buffer[static_cast<std::size_t>(i - 1)] == wakeByte) {
                        continue;
                    }
                    handle(byte, arrived);
                }
                continue;
            }
            hungUp = hungUp || (n < 0 && errno == EIO) || n == 0;
        }
        if (hungUp && endpoint_.isPseudoTerminal()) {
            // Nobody has the port open: the loader closed it (or has not opened it yet).
            if (state_ == State::writing) {
                endSession("the loader closed the port");
            }
            pause(10);
        } else if (state_ == State::writing && !endpoint_.isPseudoTerminal() &&
                   std::chrono::steady_clock::now() - lastByte_ > deviceQuietEnd) {
            endSession("the line has been quiet for 2 s");
        }
    }
    if (state_ == State::writing && !vanished_) {
        endSession("stopped");
    }
    std::printf("boot-target: turnaround per image byte (echo sent to next byte): %s\n",
                turnaround_.summary().c_str());
    return 0;
}

void BootTarget::handle(std::uint8_t byte, TimePoint arrived) {
    paceBytes(1);
    if (state_ == State::writing) {
        turnaround_.byteArrived(arrived);
        imageByte(byte);
        return;
    }
    if (byte == wakeByte) {
        wake();
    } else if (byte == startPlain || byte == startScrambled) {
        startErase(byte);
    } else {
        collectText(byte);
    }
}

void BootTarget::collectText(std::uint8_t byte) {
    wakesInRow_ = 0;
    if (byte == '\n') {
        if (!textLine_.empty() && textLine_.back() == '\r') {
            textLine_.pop_back();
        }
        if (textLine_ == resetRequest) {
            say("\"AT BTLD RST\": the application would now restart into the boot loader");
        } else if (!textLine_.empty()) {
            say("ignored text \"" + textLine_ + "\"");
        }
        textLine_.clear();
    } else if (textLine_.size() < maxTextLine) {
        textLine_.push_back(static_cast<char>(byte));
    }
}

void BootTarget::wake() {
    textLine_.clear();
    if (wakesInRow_++ == 0) {
        say("wake byte: echoing it and identifying as \"" + options_.ident + "\"");
    }
    std::vector<std::uint8_t> answer{wakeByte};
    answer.insert(answer.end(), options_.ident.begin(), options_.ident.end());
    answer.insert(answer.end(), options_.lineEnd.begin(), options_.lineEnd.end());
    reply(answer);
    state_ = State::identified;
}

void BootTarget::startErase(std::uint8_t startByte) {
    wakesInRow_ = 0;
    textLine_.clear();
    scrambled_ = startByte == startScrambled;
    say("start byte 0x" + hex(startByte) + (scrambled_ ? " (scrambled image)" : " (plain image)") +
        ": erasing, " + std::to_string(options_.eraseCount) + " progress bytes");
    auto total = static_cast<std::uint16_t>(options_.eraseCount);
    reply({startByte, static_cast<std::uint8_t>(total >> 8), static_cast<std::uint8_t>(total)});
    int left = options_.eraseCount;
    while (left > 0) {
        int batch = std::min(left, options_.eraseBatch);
        pause(options_.eraseDelayMs);
        reply(std::vector<std::uint8_t>(static_cast<std::size_t>(batch), 0x2E));
        left -= batch;
    }
    say("erase done; receiving the image");
    state_ = State::writing;
    imageIndex_ = 0;
    received_.clear();
    session_.clear();
    qValues_.clear();
    silentSaid_ = false;
    turnaround_.reset();
}

void BootTarget::imageByte(std::uint8_t byte) {
    echoToRepeat_.reset();
    const std::uint32_t index = imageIndex_++;
    if (options_.vanishAt && index >= *options_.vanishAt) {
        say("vanishing at image byte " + std::to_string(index) + ", as asked");
        saveOutput();
        endpoint_.close();
        vanished_ = true;
        return;
    }
    received_.push_back(byte);
    if (scrambled_) {
        if (session_.size() < loader::scramble::sessionByteCount) {
            session_.push_back(byte);
            if (session_.size() == loader::scramble::sessionByteCount) {
                auto r1 = static_cast<std::uint16_t>(session_[0] | session_[1] << 8);
                auto r2 = static_cast<std::uint16_t>(session_[2] | session_[3] << 8);
                mask_ = loader::scramble::deriveMask(r1, r2);
                say("session bytes " + hex(session_[0]) + " " + hex(session_[1]) + " " +
                    hex(session_[2]) + " " + hex(session_[3]) + ": R1=" + std::to_string(r1) +
                    " R2=" + std::to_string(r2) + " D=0x" + hex(mask_.d) + " E=0x" + hex(mask_.e));
            }
        } else {
            qValues_.push_back(loader::scramble::unmasked(byte, mask_));
        }
    }
    if (index > 0 && index % 16384 == 0) {
        say(std::to_string(index) + " image bytes received");
    }
    if (options_.silentFrom && index >= *options_.silentFrom) {
        if (!silentSaid_) {
            say("falling silent at image byte " + std::to_string(index) + ", as asked");
            silentSaid_ = true;
        }
        return;
    }
    if (options_.wrongEchoAt && index == *options_.wrongEchoAt) {
        say("answering image byte " + std::to_string(index) + " with a wrong echo first");
        std::uint8_t wrong = static_cast<std::uint8_t>(byte ^ 0xFF);
        writeBytes(&wrong, 1);
        pause(20);
        // A loader that read both echoes in one batch discards them together and waits:
        // the right echo comes again, alone, until it moves on.
        echoToRepeat_ = byte;
        repeatAt_ = std::chrono::steady_clock::now() + echoRepeatInterval;
    }
    pause(options_.replyDelayMs);
    writeBytes(&byte, 1);
    turnaround_.echoSent(std::chrono::steady_clock::now());
}

void BootTarget::repeatEchoIfDue() {
    if (!echoToRepeat_ || state_ != State::writing ||
        std::chrono::steady_clock::now() < repeatAt_) {
        return;
    }
    say("echoing image byte " + std::to_string(imageIndex_ - 1) + " again, alone");
    writeBytes(&*echoToRepeat_, 1);
    repeatAt_ = std::chrono::steady_clock::now() + echoRepeatInterval;
}

void BootTarget::endSession(const std::string& why) {
    say("session over (" + why + ") after " + std::to_string(received_.size()) + " image bytes");
    saveOutput();
    state_ = State::idle;
    sessionDone_ = true;
}

void BootTarget::saveOutput() {
    if (options_.outPath.empty()) {
        return;
    }
    auto save = [](const std::string& path, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out);
    };
    if (scrambled_) {
        bool ok = save(options_.outPath, qValues_) && save(options_.outPath + ".session", session_);
        say(std::string(ok ? "wrote " : "could not write ") + std::to_string(qValues_.size()) +
            " Q values to " + options_.outPath + " and the session bytes to " + options_.outPath +
            ".session");
    } else {
        bool ok = save(options_.outPath, received_);
        say(std::string(ok ? "wrote " : "could not write ") + std::to_string(received_.size()) +
            " bytes to " + options_.outPath);
    }
}

}  // namespace boot_target
