// The simulator stand-in, driven from outside over its pseudo-terminal as Tessaly drives it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <chrono>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "J1939SimProcess.h"

namespace {

using testing_support::J1939SimProcess;

constexpr int simCom = 32;

// The test's own reading of the line format: reversed hex pairs and the checksum pair.
std::string pair(unsigned byte) {
    const char* digits = "0123456789ABCDEF";
    return {digits[byte & 0xF], digits[(byte >> 4) & 0xF]};
}

std::string withChecksum(const std::string& text) {
    unsigned sum = 0;
    for (char c : text) {
        sum += static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text + pair((256 - sum % 256) % 256);
}

bool checksumOk(std::string line) {
    // Over the upper-cased line without CR LF: the sum including the carried pair is 0.
    if (line.size() < 4) {
        return false;
    }
    line.resize(line.size() - 2);
    for (char& c : line) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return withChecksum(line.substr(0, line.size() - 2)) == line;
}

// The terminal's side of the line: the pty slave reached through the link, raw.
class LineClient {
public:
    explicit LineClient(const QString& path) {
        fd_ = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0) {
            termios settings{};
            tcgetattr(fd_, &settings);
            cfmakeraw(&settings);
            tcsetattr(fd_, TCSANOW, &settings);
        }
    }
    ~LineClient() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    bool isOpen() const { return fd_ >= 0; }

    void send(const std::string& bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // The next complete line (with CR LF) whose text, after any bytes in front, starts with
    // one of the prefixes; lines in between are passed over.
    std::optional<std::string> nextLine(const std::vector<std::string>& prefixes,
                                        int timeoutMs = 3000) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            for (auto end = buffer_.find("\r\n"); end != std::string::npos;
                 end = buffer_.find("\r\n")) {
                std::string line = buffer_.substr(0, end + 2);
                buffer_.erase(0, end + 2);
                lines_.push_back(line);
                for (const auto& prefix : prefixes) {
                    if (line.find(prefix) != std::string::npos) {
                        return line.substr(line.find(prefix));
                    }
                }
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !readSome(static_cast<int>(left.count()))) {
                return std::nullopt;
            }
        }
    }
    std::optional<std::string> nextLine(const std::string& prefix, int timeoutMs = 3000) {
        return nextLine(std::vector<std::string>{prefix}, timeoutMs);
    }

    // Everything that arrives within `ms`.
    std::string drain(int ms) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                break;
            }
            readSome(static_cast<int>(left.count()));
        }
        std::string all = buffer_;
        buffer_.clear();
        return all;
    }

    // Every complete line seen so far, with whatever stood in front of it.
    const std::vector<std::string>& seenLines() const { return lines_; }

private:
    bool readSome(int timeoutMs) {
        pollfd watch{fd_, POLLIN, 0};
        if (::poll(&watch, 1, timeoutMs) <= 0) {
            return false;
        }
        char bytes[1024];
        ssize_t got = ::read(fd_, bytes, sizeof bytes);
        if (got > 0) {
            buffer_.append(bytes, static_cast<std::size_t>(got));
        }
        return got > 0;
    }

    int fd_ = -1;
    std::string buffer_;
    std::vector<std::string> lines_;
};

std::string keyCommand(unsigned code) {
    return withChecksum("AT KI" + pair(code)) + "\r\n";
}

std::string levelCommand(unsigned level) {
    return withChecksum("AT %" + pair(level)) + "\r\n";
}

// The flags byte of the next simulation status line, read back from its reversed pair.
std::optional<unsigned> decodePair(const std::string& text) {
    bool ok = false;
    unsigned value = QString::fromStdString(std::string{text[1], text[0]}).toUInt(&ok, 16);
    return ok ? std::optional<unsigned>(value) : std::nullopt;
}

class J1939SimTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    void startSim(const QStringList& arguments) {
        ASSERT_TRUE(sim_.start(arguments)) << sim_.log().toStdString();
        client_ = std::make_unique<LineClient>(sim_.linkPath());
        ASSERT_TRUE(client_->isOpen());
    }

    // Level and flags of the next simulation status line.
    std::pair<unsigned, unsigned> nextStatus() {
        auto line = client_->nextLine("BRC %S");
        EXPECT_TRUE(line.has_value());
        if (!line || line->size() != 14) {
            return {~0u, ~0u};
        }
        EXPECT_TRUE(checksumOk(*line)) << *line;
        return {decodePair(line->substr(6, 2)).value_or(~0u),
                decodePair(line->substr(8, 2)).value_or(~0u)};
    }

    QTemporaryDir folder_;
    // A COM number of these tests' own (each test has its own port-map folder too).
    J1939SimProcess sim_{folder_.path() + "/comports", simCom};
    std::unique_ptr<LineClient> client_;
};

TEST(LineFormatOracle, MatchesTheWorkedExamples) {
    EXPECT_EQ(keyCommand(0x02), "AT KI2055\r\n");
    EXPECT_EQ(levelCommand(128), "AT %08EB\r\n");
    EXPECT_EQ(withChecksum("BRC %S08B0"), "BRC %S08B07B");
    EXPECT_EQ(withChecksum("BRC CLKD0D2"), "BRC CLKD0D254");
}

TEST_F(J1939SimTest, IdentificationSendsRevisionAndRateBeforeTheIdLine) {
    startSim({"--serial", "305419896", "--firmware", "256", "--revision", "F", "--can-rate", "500K",
              "--no-dynamic"});
    client_->send("AT ID?\r\n");
    EXPECT_EQ(client_->nextLine("ACK "), "ACK REVF\r\n");
    EXPECT_EQ(client_->nextLine("ACK "), "ACK CBRS=03\r\n");
    auto id = client_->nextLine("ACK ");
    ASSERT_TRUE(id.has_value());
    EXPECT_EQ(*id, withChecksum("ACK ID0087654321FF") + "\r\n");

    ASSERT_TRUE(sim_.waitForLog("identification request", 2000));
    QRegularExpression logged(R"(^\d+\.\d{3} RX "AT ID\?" identification request$)",
                              QRegularExpression::MultilineOption);
    EXPECT_TRUE(logged.match(sim_.log()).hasMatch()) << sim_.log().toStdString();
}

TEST_F(J1939SimTest, StatusRoundsCarryLevelFlagsClaimsAndClockWithGoodChecksums) {
    startSim({"--level", "128", "--no-dynamic", "--no-warnings", "--reset-dm2", "--claim", "01"});
    auto claim = client_->nextLine("BRC ACS");
    ASSERT_TRUE(claim.has_value());
    EXPECT_EQ(*claim, withChecksum("BRC ACS10") + "\r\n");
    // Quiet off (bit 0 set) and Reset Eng DM2 (bit 3): 0x09.
    EXPECT_EQ(nextStatus(), std::make_pair(128u, 0x09u));
    auto clock = client_->nextLine("BRC CLK");
    ASSERT_TRUE(clock.has_value());
    EXPECT_EQ(clock->size(), 15u);
    EXPECT_TRUE(checksumOk(*clock)) << *clock;
}

TEST_F(J1939SimTest, KeysAndLevelCommandsChangeWhatTheStatusLinesReport) {
    startSim({"--level", "50", "--no-dynamic", "--no-warnings", "--step", "5"});
    EXPECT_EQ(nextStatus(), std::make_pair(50u, 0x01u));

    client_->send(keyCommand(0x02));
    EXPECT_EQ(client_->nextLine("ACK "), "ACK KI\r\n");
    EXPECT_EQ(nextStatus(), std::make_pair(55u, 0x01u));
    client_->send(keyCommand(0x01));
    client_->send(keyCommand(0x01));
    EXPECT_EQ(client_->nextLine("ACK "), "ACK KI\r\n");
    EXPECT_EQ(client_->nextLine("ACK "), "ACK KI\r\n");
    EXPECT_EQ(nextStatus().first, 45u);

    client_->send(levelCommand(60));
    EXPECT_EQ(client_->nextLine("ACK "), "ACK %\r\n");
    EXPECT_EQ(nextStatus().first, 60u);

    // Quiet clears bit 0, the shared Menu/Warnings key sets bit 2, Reset Eng DM2 bit 3.
    for (unsigned code : {0x43u, 0x10u, 0x51u}) {
        client_->send(keyCommand(code));
        EXPECT_EQ(client_->nextLine("ACK "), "ACK KI\r\n");
    }
    EXPECT_EQ(nextStatus(), std::make_pair(60u, 0x0Cu));

    // Dynamic sets bit 1 and starts the sweep.
    client_->send(keyCommand(0x52));
    EXPECT_EQ(client_->nextLine("ACK "), "ACK KI\r\n");
    auto [level, flags] = nextStatus();
    EXPECT_EQ(flags, 0x0Eu);
    EXPECT_NE(level, 60u);

    std::string dynamicKey = keyCommand(0x52).substr(0, 9);
    ASSERT_TRUE(sim_.waitForLog(QString::fromStdString(dynamicKey), 2000))
        << sim_.log().toStdString();
    std::string levelLine = levelCommand(60).substr(0, 8);
    EXPECT_TRUE(sim_.log().contains(
        QString::fromStdString("RX \"" + levelLine + "\" level 60 checksum ok: level 45 -> 60")));
    EXPECT_TRUE(sim_.log().contains(
        QString::fromStdString("RX \"" + dynamicKey + "\" key 0x52 checksum ok: Dynamic on")));
}

TEST_F(J1939SimTest, CommandsWithAWrongChecksumAreRefusedAndLogged) {
    startSim({"--level", "20", "--no-dynamic"});
    client_->send("AT KI2056\r\n");  // the Up key with its checksum off by one
    client_->send(levelCommand(30));
    // The first acknowledgement is the level's: the key got none and changed nothing.
    EXPECT_EQ(client_->nextLine("ACK "), "ACK %\r\n");
    EXPECT_EQ(nextStatus().first, 30u);
    ASSERT_TRUE(sim_.waitForLog("level 30 checksum ok", 2000));
    EXPECT_TRUE(sim_.log().contains("RX \"AT KI2056\" key 0x02 checksum BAD (want 55), ignored"))
        << sim_.log().toStdString();
}

TEST_F(J1939SimTest, ANewCanRateIsReportedAtTheNextIdentification) {
    startSim({"--can-rate", "250K", "--no-dynamic"});
    client_->send("AT CBRS=04\r\n");
    client_->send("AT ID?\r\n");
    // No answer of its own: the first answer is the identification's.
    EXPECT_EQ(client_->nextLine("ACK "), "ACK REVD\r\n");
    EXPECT_EQ(client_->nextLine("ACK "), "ACK CBRS=04\r\n");
    ASSERT_TRUE(sim_.waitForLog("CAN rate 250K bps -> 1M bps", 2000));
    ASSERT_TRUE(sim_.waitForLog("identification request", 2000));

    auto received = sim_.received();
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(received[0].line, "AT CBRS=04");
    EXPECT_EQ(received[1].line, "AT ID?");
    EXPECT_LE(received[0].seconds, received[1].seconds);
}

TEST_F(J1939SimTest, AReplayOfATrimmedLogPlaysItsFirstLineAtOnce) {
    // Cut from a longer log: its first line stands at 100 s.
    const QString log = folder_.path() + "/trimmed.lines";
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("100.000 tx AT ID?\n100.000 rx ACK REVE\n100.300 rx BRC %S08B07B\n");
    file.close();
    startSim({"--replay", log});
    client_->send("AT ID?\r\n");
    EXPECT_EQ(client_->nextLine("ACK "), "ACK REVE\r\n");
    EXPECT_EQ(client_->nextLine("BRC "), "BRC %S08B07B\r\n");
}

TEST_F(J1939SimTest, FaultOptionsShapeTheLines) {
    {
        SCOPED_TRACE("lower case: the checksum still holds over the upper-cased line");
        startSim({"--lower-case", "--no-dynamic", "--old-firmware"});
        client_->send("AT ID?\r\n");
        EXPECT_EQ(client_->nextLine("ack "), "ack revc\r\n");
        EXPECT_EQ(client_->nextLine("ack "), "ack cbrs=00\r\n");
        auto id = client_->nextLine("ack id");
        ASSERT_TRUE(id.has_value());
        EXPECT_EQ(id->substr(16, 2), "00") << "firmware 1 travels as version byte 0";
        EXPECT_TRUE(checksumOk(*id)) << *id;
    }
    {
        SCOPED_TRACE("bad checksums");
        startSim({"--bad-checksums"});
        for (const char* tag : {"BRC ACS", "BRC %S", "BRC CLK"}) {
            auto line = client_->nextLine(tag);
            ASSERT_TRUE(line.has_value());
            EXPECT_FALSE(checksumOk(*line)) << *line;
        }
    }
    {
        SCOPED_TRACE("noise: garbage in front of lines, never a letter, space, CR or LF");
        startSim({"--noise", "--rate", "20"});
        for (int i = 0; i < 9; ++i) {
            auto line = client_->nextLine("BRC ");
            ASSERT_TRUE(line.has_value());
            EXPECT_TRUE(checksumOk(*line)) << *line;
        }
        int withNoise = 0;
        for (const std::string& raw : client_->seenLines()) {
            std::string front = raw.substr(0, raw.find("BRC "));
            withNoise += front.empty() ? 0 : 1;
            for (char c : front) {
                EXPECT_FALSE(std::isalpha(static_cast<unsigned char>(c)) || c == ' ' || c == '\r' ||
                             c == '\n')
                    << "noise byte " << int(static_cast<unsigned char>(c));
            }
        }
        EXPECT_GT(withNoise, 0);
    }
}

TEST_F(J1939SimTest, SilenceStopsEverythingAndASignalEndsIt) {
    startSim({"--silent-after", "0.3", "--rate", "20"});
    ASSERT_TRUE(sim_.waitForLog("silent now", 3000));
    client_->drain(100);
    client_->send("AT ID?\r\n");
    ASSERT_TRUE(sim_.waitForLog("identification request (silent: no answer)", 2000));
    EXPECT_EQ(client_->drain(300), "");

    ASSERT_EQ(::kill(static_cast<pid_t>(sim_.pid()), SIGUSR1), 0);
    EXPECT_TRUE(client_->nextLine("BRC %S").has_value());
}

TEST_F(J1939SimTest, TheComLinkLivesAsLongAsItsSimulator) {
    startSim({});
    QFileInfo link(sim_.linkPath());
    ASSERT_TRUE(link.isSymLink());
    EXPECT_TRUE(link.symLinkTarget().startsWith("/dev/pts/"));
    client_.reset();

    // A second simulator on the same COM takes the name over; the first, ending, leaves it.
    J1939SimProcess second(folder_.path() + "/comports", simCom);
    QString firstTarget = link.symLinkTarget();
    ASSERT_TRUE(second.start({}));
    EXPECT_NE(QFileInfo(sim_.linkPath()).symLinkTarget(), firstTarget);
    EXPECT_TRUE(sim_.terminate());
    EXPECT_TRUE(QFileInfo(sim_.linkPath()).isSymLink());

    EXPECT_TRUE(second.terminate());
    EXPECT_FALSE(QFileInfo(sim_.linkPath()).exists() || QFileInfo(sim_.linkPath()).isSymLink());

    // Killed, as each test's stand-in is at its end: its link is turned away from the dead
    // pseudo-terminal, whose number another test's stand-in may get next, so a terminal still
    // retrying the link cannot reach that one and ask it for its identification.
    J1939SimProcess third(folder_.path() + "/comports", simCom);
    ASSERT_TRUE(third.start({}));
    const QString thirdTarget = QFile::symLinkTarget(sim_.linkPath());
    third.kill();
    EXPECT_NE(QFile::symLinkTarget(sim_.linkPath()), thirdTarget);
    EXPECT_FALSE(QFileInfo(sim_.linkPath()).exists());
}

}  // namespace
