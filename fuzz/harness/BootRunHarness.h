#pragma once
// Whole boot-loader runs driven by arbitrary input: the input chooses the image (its type and
// bytes) and then a sequence of operator actions, timer ticks and target replies (well-formed
// or not). Returns what broke, or an empty text when every invariant held: a received batch
// makes the link write at most one byte (never more than one image byte outstanding), the
// byte count never passes the image length, and a plain image goes out exactly as stored.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "FakeSerialControl.h"
#include "loader/core/BootLink.h"
#include "loader/core/FirmwareImage.h"
#include "loader/core/LoaderObserver.h"

namespace fuzzing {

class QuietObserver : public loader::LoaderObserver {
public:
    void showMessage(const std::string&) override {}
    // The image is noise under a ".hex" name: sent as stored, so runs still reach the transfer.
    bool confirmDamagedImage(const std::string&) override { return true; }
    void setLamp(int, bool) override {}
    void setEraseRange(int) override {}
    void setErasePos(int) override {}
    void setWritePos(int) override {}
    void startTimer() override {}
    void stopTimer() override {}
    void identifiedNow() override {}
    void eraseBegun() override {}
    void sessionFinished(bool programmed) override { programmedRuns += programmed ? 1 : 0; }
    void refresh() override {}

    int programmedRuns = 0;
};

class BootRun {
public:
    BootRun(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {
        serial_.setOnComm([this] { link_.onReceive(); });
    }

    std::string run() {
        const std::uint8_t flags = next();
        const std::size_t length = next() | (static_cast<std::size_t>(next() & 0x03) << 8);
        for (std::size_t i = 0; i < length && at_ < size_; ++i) {
            content_.push_back(next());
        }
        static const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                                    ("bootlink-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        path_ = (folder / ((flags & 1) != 0 ? "image.Vlf" : "image.hex")).string();
        writeImage(content_);
        image_.setPath(path_);
        while (at_ < size_ && broken_.empty()) {
            step(next());
            check();
        }
        return broken_;
    }

    // Runs that ended with the last byte's echo.
    int programmedRuns() const { return observer_.programmedRuns; }

private:
    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }

    void writeImage(const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

    // One target reply: at most one byte may go out in answer to it.
    void deliver(const std::vector<std::uint8_t>& batch) {
        const bool wasWriting = link_.writing();
        const std::size_t before = serial_.written.size();
        serial_.receive(batch);
        const std::size_t written = serial_.written.size() - before;
        if (written > 1) {
            broken_ = std::to_string(written) + " bytes written for one received batch";
            return;
        }
        if (written == 1 && (wasWriting || link_.writing()) && !image_.scrambled() &&
            link_.sentCount() >= 1) {
            const std::size_t offset = link_.sentCount() - 1;
            if (offset >= content_.size() || serial_.written.back() != content_[offset]) {
                broken_ = "image byte " + std::to_string(offset) + " not sent as stored";
            }
        }
    }

    void echoLast() {
        if (!serial_.written.empty()) {
            deliver({serial_.written.back()});
        }
    }

    void step(std::uint8_t op) {
        try {
            switch (op % 12) {
                case 0:
                    link_.connect("COM1", "115200");
                    break;
                case 1:
                    link_.timerTick();
                    break;
                case 2:
                    link_.program("COM1", "115200");
                    break;
                case 3: {
                    std::vector<std::uint8_t> batch(next() % 16 + 1);
                    for (auto& b : batch) {
                        b = next();
                    }
                    deliver(batch);
                    break;
                }
                case 4:
                    echoLast();
                    break;
                case 5:
                    if (!serial_.written.empty()) {
                        deliver({serial_.written.back(), next()});
                    }
                    break;
                case 6:
                    serial_.open = false;
                    serial_.event = platform::comEvPortLost;
                    serial_.receive(std::vector<std::uint8_t>{});
                    serial_.event = platform::comEvReceive;
                    break;
                case 7: {
                    std::vector<std::uint8_t> batch{image_.startByte(), next(), next()};
                    batch.resize(batch.size() + next() % 8, 0x2E);
                    deliver(batch);
                    break;
                }
                case 8: {
                    const std::string ident = "\x77Vell-3.2\n";
                    deliver(std::vector<std::uint8_t>(ident.begin(), ident.end()));
                    break;
                }
                case 9:
                    for (int n = next(); n > 0 && broken_.empty(); --n) {
                        echoLast();
                    }
                    break;
                case 10:
                    // The device goes away without a word: the next write fails.
                    serial_.open = false;
                    break;
                default:
                    content_.resize(std::min<std::size_t>(content_.size(), next()));
                    writeImage(content_);
                    break;
            }
        } catch (const platform::SerialError&) {
            // The window shows it in a message box; the program goes on.
        }
    }

    void check() {
        if (broken_.empty() && link_.sentCount() > link_.imageLength()) {
            broken_ = "byte count " + std::to_string(link_.sentCount()) + " passed the length " +
                      std::to_string(link_.imageLength());
        }
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    std::vector<std::uint8_t> content_;
    std::string path_;
    std::string broken_;
    testing_support::FakeSerialControl serial_;
    testing_support::FakeClock clock_;
    QuietObserver observer_;
    loader::FirmwareImage image_{[] { return std::int64_t{1700000000}; }};
    loader::BootLink link_{serial_, clock_, observer_, image_};
};

inline std::string runBootRun(const std::uint8_t* data, std::size_t size) {
    return BootRun(data, size).run();
}

}  // namespace fuzzing
